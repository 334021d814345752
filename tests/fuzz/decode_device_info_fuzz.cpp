// Any byte string handed to the decoder must come back as a result or an
// error, never as a read outside the buffer; a valid result must describe
// exactly the bytes that are there.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "devinfo/device_info_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ikw::DecodeResult result = ikw::DecodeDeviceInfo(data, size);
    if (result.info.has_value() == result.error.has_value())
        std::abort();
    if (!result.info)
        return 0;
    const ikw::DeviceInfo& info = *result.info;
    const std::size_t tail = info.fullDeviceName ? 2 + 2 * (info.fullDeviceName->size() + 1) : 0;
    if (info.fileSize != size || 4 + std::size_t{info.devModeSize} + tail != size ||
        info.driverPrivateOffset + info.driverPrivateSize > size)
        std::abort();
    return 0;
}
