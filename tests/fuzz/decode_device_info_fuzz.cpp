// Any byte string handed to the decoder must come back as a result or an
// error, never as a read outside the buffer; a valid result must describe
// exactly the bytes that are there. The same bytes taken as a driver's
// settings block: whatever the encoder writes from it, the decoder accepts.
// A valid file opened for its printer gives a record that, fitted to any
// driver's record, is a valid record still.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/open_device_info.h"
#include "devinfo/device_info_format.h"
#include "devinfo/little_endian.h"
#include "devinfo/message_texts.h"

namespace {

class PlainComparison : public ikw::NameComparison, public ikw::PrinterNameMatch {
public:
    int CompareNames(const std::u16string& a, const std::u16string& b) const override { return a.compare(b); }
    bool IsSamePrinterName(const std::u16string& a, const std::u16string& b) const override { return a == b; }
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

// A driver's own record of the given sizes: zeroes but for the sizes.
std::vector<std::uint8_t> DriverRecord(std::uint16_t dmSize, std::uint16_t dmDriverExtra) {
    std::vector<std::uint8_t> record(std::size_t{dmSize} + dmDriverExtra, 0);
    ikw::WriteU16(record.data() + ikw::kDmSizeOffset, dmSize);
    ikw::WriteU16(record.data() + ikw::kDmDriverExtraOffset, dmDriverExtra);
    return record;
}

void CheckOpenAndFit(const std::uint8_t* data, std::size_t size, const ikw::DeviceInfo& info) {
    const std::u16string printer = ikw::PrinterNamedBy(info);
    ikw::BuiltInEnglish strings;
    const ikw::OpenDecision decision =
        ikw::DecideOpen(u"f.dev", std::vector<std::uint8_t>(data, data + size), {printer}, PlainComparison(), strings);
    if (printer.empty())
        return;
    if (!decision.open || decision.open->record.size() != info.devModeSize)
        std::abort();
    // Drivers' own records of other sizes, and of the file's own sizes, name
    // and version (whose private part is kept).
    std::vector<std::uint8_t> same(decision.open->record);
    same.resize(std::max<std::size_t>(same.size(), ikw::kMinDmSize));
    const std::vector<std::uint8_t> drivers[] = {DriverRecord(220, 0), DriverRecord(156, 16), same};
    for (const std::vector<std::uint8_t>& driver : drivers) {
        const std::vector<std::uint8_t> fitted =
            ikw::FitRecordToDriver(decision.open->record, driver, PlainComparison()).record;
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
