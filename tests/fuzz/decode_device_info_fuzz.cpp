// Any byte string handed to the decoder must come back as a result or an
// error, never as a read outside the buffer; a valid result must describe
// exactly the bytes that are there. The same bytes taken as a driver's
// settings block: whatever the encoder writes from it, the decoder accepts.
// A valid file opened for its printer gives a record that, fitted to any
// driver's sizes, is a valid record still.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/open_device_info.h"
#include "devinfo/device_info_format.h"

namespace {

class PlainComparison : public ikw::NameComparison {
public:
    int CompareNames(const std::u16string& a, const std::u16string& b) const override { return a.compare(b); }
};

void CheckDecoded(const ikw::DecodeResult& result, std::size_t size) {
    if (result.info.has_value() == result.error.has_value())
        std::abort();
    if (!result.info)
        return;
    const ikw::DeviceInfo& info = *result.info;
    const std::size_t tail = info.fullDeviceName ? 2 + 2 * (info.fullDeviceName->size() + 1) : 0;
    if (info.fileSize != size || 4 + std::size_t{info.devModeSize} + tail != size ||
        info.driverPrivateOffset + info.driverPrivateSize > size)
        std::abort();
}

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
        const ikw::EncodeResult encoded =
            ikw::EncodeDeviceInfo(fitted.data(), fitted.size(), nullptr, PlainComparison());
        if (encoded.failure || ikw::DecodeDeviceInfo(encoded.bytes.data(), encoded.bytes.size()).error)
            std::abort();
    }
}

// Longer than the record's 32 units, so most blocks get a tail.
const std::u16string kFullName = u"Accounting Department Colour Laser 2";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ikw::DecodeResult result = ikw::DecodeDeviceInfo(data, size);
    CheckDecoded(result, size);
    if (result.info)
        CheckOpenAndFit(data, size, *result.info);

    const ikw::EncodeResult encoded = ikw::EncodeDeviceInfo(data, size, &kFullName, PlainComparison());
    if (encoded.failure)
        return 0;
    const ikw::DecodeResult decoded = ikw::DecodeDeviceInfo(encoded.bytes.data(), encoded.bytes.size());
    if (!decoded.info)
        std::abort();
    CheckDecoded(decoded, encoded.bytes.size());
    return 0;
}
