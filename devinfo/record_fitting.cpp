#include "devinfo/record_fitting.h"

#include <algorithm>

#include "devinfo/device_info_format.h"
#include "devinfo/little_endian.h"

namespace ikw {

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
    const std::uint16_t dmSize = ReadU16(record.data() + kDmSizeOffset);
    const std::uint16_t dmDriverExtra = ReadU16(record.data() + kDmDriverExtraOffset);
    const std::uint16_t driverSize = ReadU16(driverRecord.data() + kDmSizeOffset);
    const std::uint16_t driverExtra = ReadU16(driverRecord.data() + kDmDriverExtraOffset);

    // A driver reads dmFields whatever dmSize says: the fitted record holds
    // it, zero when the file's public part had none.
    const std::uint16_t publicSize =
        std::max<std::uint16_t>(std::min(dmSize, driverSize), static_cast<std::uint16_t>(kDmFieldsEnd));
    // The private part's layout is the driver's alone, and may change with
    // its version: bytes of the right size from another version or another
    // printer's driver would be read as settings they are not.
    const bool keepPrivate =
        dmDriverExtra == driverExtra &&
        ReadU16(record.data() + kDmDriverVersionOffset) == ReadU16(driverRecord.data() + kDmDriverVersionOffset) &&
        names.IsSamePrinterName(ReadNulEndedName(record.data() + kDmDeviceNameOffset, kDmNameUnits).name,
                                ReadNulEndedName(driverRecord.data() + kDmDeviceNameOffset, kDmNameUnits).name);
    result.privateReset = dmDriverExtra > 0 && !keepPrivate;

    std::vector<std::uint8_t>& fitted = result.record;
    fitted.assign(publicSize, 0);
    std::copy(record.begin(), record.begin() + std::min(dmSize, publicSize), fitted.begin());
    if (keepPrivate)
        fitted.insert(fitted.end(), record.begin() + dmSize, record.begin() + dmSize + dmDriverExtra);
    // The driver's own name for its printer: the file may spell it in
    // another case, or cut it elsewhere.
    std::copy(driverRecord.begin() + kDmDeviceNameOffset, driverRecord.begin() + kDmDeviceNameOffset + 2 * kDmNameUnits,
              fitted.begin() + kDmDeviceNameOffset);
    WriteU16(fitted.data() + kDmSizeOffset, publicSize);
    WriteU16(fitted.data() + kDmDriverExtraOffset, keepPrivate ? dmDriverExtra : 0);

    // A record too short to hold dmFields whole vouches for nothing: the
    // bytes there are the driver's private ones. A field that does not lie
    // whole inside both the file's public part and the fitted one must not
    // be vouched for either: the driver would read it from the private part,
    // or past the end.
    result.noFieldList = dmSize < kDmFieldsEnd;
    const std::uint32_t fileFields = result.noFieldList ? 0 : ReadU32(record.data() + kDmFieldsOffset);
    std::uint32_t fields = fileFields;
    for (const RecordSetting& setting : kRecordSettings)
        if (setting.End() > std::min(dmSize, publicSize))
            fields &= ~setting.bit;
    WriteU32(fitted.data() + kDmFieldsOffset, fields);
    result.fieldsKept = fields;
    result.fieldsDropped = fileFields & ~fields;
    return result;
}

}  // namespace ikw
