#include "devinfo/record_fitting.h"

#include <algorithm>

#include "devinfo/device_info_format.h"
#include "devinfo/little_endian.h"

namespace ikw {

namespace {

struct RecordSizes {
    std::uint16_t dmSize;
    std::uint16_t dmDriverExtra;
};

RecordSizes SizesOf(const std::vector<std::uint8_t>& record) {
    return {ReadU16(record.data() + kDmSizeOffset), ReadU16(record.data() + kDmDriverExtraOffset)};
}

std::u16string DeviceNameOf(const std::vector<std::uint8_t>& record) {
    return ReadNulEndedName(record.data() + kDmDeviceNameOffset, kDmNameUnits).name;
}

// The public part is cut to the driver's length. A driver reads dmFields
// whatever dmSize says, so the fitted record holds it, zero when the file's
// public part had none.
std::uint16_t FittedPublicSize(std::uint16_t fileSize, std::uint16_t driverSize) {
    return std::max<std::uint16_t>(std::min(fileSize, driverSize), static_cast<std::uint16_t>(kDmFieldsEnd));
}

// The private part's layout is the driver's alone, and may change with its
// version: bytes of the right size from another version or another printer's
// driver would be read as settings they are not.
bool PrivatePartFitsDriver(const std::vector<std::uint8_t>& record, const std::vector<std::uint8_t>& driverRecord,
                           const PrinterNameMatch& names) {
    return SizesOf(record).dmDriverExtra == SizesOf(driverRecord).dmDriverExtra &&
           ReadU16(record.data() + kDmDriverVersionOffset) == ReadU16(driverRecord.data() + kDmDriverVersionOffset) &&
           names.IsSamePrinterName(DeviceNameOf(record), DeviceNameOf(driverRecord));
}

// A field that does not lie whole inside both the file's public part and the
// fitted one must not be vouched for: the driver would read it from the
// private part, or past the end. Bits no setting has are left as they are.
std::uint32_t FieldsHeldWhole(std::uint32_t fileFields, std::size_t heldEnd) {
    std::uint32_t fields = fileFields;
    for (const RecordSetting& setting : kRecordSettings)
        if (setting.End() > heldEnd)
            fields &= ~setting.bit;
    return fields;
}

// The fitted record: the file's public part at its fitted size, the private
// part when it is kept, and the driver's own name for its printer (the file
// may spell it in another case, or cut it elsewhere).
std::vector<std::uint8_t> AssembleRecord(const std::vector<std::uint8_t>& record,
                                         const std::vector<std::uint8_t>& driverRecord, std::uint16_t publicSize,
                                         bool keepPrivate) {
    const RecordSizes sizes = SizesOf(record);
    std::vector<std::uint8_t> fitted(publicSize, 0);
    std::copy(record.begin(), record.begin() + std::min(sizes.dmSize, publicSize), fitted.begin());
    if (keepPrivate)
        fitted.insert(fitted.end(), record.begin() + sizes.dmSize, record.begin() + sizes.dmSize + sizes.dmDriverExtra);
    std::copy(driverRecord.begin() + kDmDeviceNameOffset, driverRecord.begin() + kDmDeviceNameOffset + 2 * kDmNameUnits,
              fitted.begin() + kDmDeviceNameOffset);
    WriteU16(fitted.data() + kDmSizeOffset, publicSize);
    WriteU16(fitted.data() + kDmDriverExtraOffset, keepPrivate ? sizes.dmDriverExtra : 0);
    return fitted;
}

}  // namespace

FittedRecord FitRecordToDriver(const std::vector<std::uint8_t>& record, const std::vector<std::uint8_t>& driverRecord,
                               const PrinterNameMatch& names) {
    FittedRecord result;
    // The decoder has checked that the sizes agree with the record's length;
    // should they not, the record is left as it is rather than read past its
    // end.
    if (!ClaimedSizeWithin(record.data(), record.size()) || driverRecord.size() < kMinDmSize) {
        result.record = record;
        return result;
    }
    const RecordSizes sizes = SizesOf(record);
    const std::uint16_t publicSize = FittedPublicSize(sizes.dmSize, SizesOf(driverRecord).dmSize);
    const bool keepPrivate = PrivatePartFitsDriver(record, driverRecord, names);
    result.privateReset = sizes.dmDriverExtra > 0 && !keepPrivate;
    result.record = AssembleRecord(record, driverRecord, publicSize, keepPrivate);

    // A record too short to hold dmFields whole vouches for nothing: the
    // bytes there are the driver's private ones.
    result.noFieldList = sizes.dmSize < kDmFieldsEnd;
    const std::uint32_t fileFields = result.noFieldList ? 0 : ReadU32(record.data() + kDmFieldsOffset);
    result.fieldsKept = FieldsHeldWhole(fileFields, std::min(sizes.dmSize, publicSize));
    result.fieldsDropped = fileFields & ~result.fieldsKept;
    WriteU32(result.record.data() + kDmFieldsOffset, result.fieldsKept);
    return result;
}

}  // namespace ikw
