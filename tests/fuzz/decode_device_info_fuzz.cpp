// Any byte string handed to the decoder must come back as a result or an
// error, never as a read outside the buffer; a valid result must describe
// exactly the bytes that are there. A valid file opened for its printer gives
// a record that, fitted to any driver's sizes, is a valid record still.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/open_device_info.h"
#include "devinfo/device_info_format.h"
#include "platform/print_services.h"

namespace {

class ExactNames : public ikw::NameComparison {
public:
    int CompareNames(const std::u16string& a, const std::u16string& b) const override { return a.compare(b); }
};

void CheckOpenAndFit(const std::uint8_t* data, std::size_t size, const ikw::DeviceInfo& info) {
    const std::u16string printer = info.fullDeviceName ? *info.fullDeviceName : info.record.dmDeviceName;
    const ikw::OpenDecision decision =
        ikw::DecideOpen(u"f.dev", std::vector<std::uint8_t>(data, data + size), {printer});
    if (printer.empty())
        return;
    if (!decision.open || decision.open->record.size() != info.devModeSize)
        std::abort();
    const ikw::DriverRecordSizes drivers[] = {{220, 0}, {156, 16}, {info.record.dmSize, info.record.dmDriverExtra}};
    for (const ikw::DriverRecordSizes& driver : drivers) {
        const std::vector<std::uint8_t> fitted = ikw::FitRecordToDriver(decision.open->record, driver);
        const ikw::EncodeResult encoded = ikw::EncodeDeviceInfo(fitted.data(), fitted.size(), nullptr, ExactNames());
        if (encoded.failure || ikw::DecodeDeviceInfo(encoded.bytes.data(), encoded.bytes.size()).error)
            std::abort();
    }
}

}  // namespace

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
    CheckOpenAndFit(data, size, info);
    return 0;
}
