#include "devinfo/device_info_format.h"

#include <cstdio>

#include "devinfo/little_endian.h"

namespace ikw {

namespace {

// Every setting the table reads as a 16-bit number is 2 bytes long and has
// its member, once, in the table's order: a row added without one would go
// unread.
constexpr bool ShortFieldsFollowTheTable() {
    std::size_t next = 0;
    for (const RecordSetting& setting : kRecordSettings) {
        if (setting.value != SettingValue::Int16)
            continue;
        if (setting.size != 2 || next == kDmShortFields.size() || &kDmShortFields[next].setting != &setting)
            return false;
        ++next;
    }
    return next == kDmShortFields.size();
}
static_assert(ShortFieldsFollowTheTable());

constexpr std::size_t kFullNameSizeBytes = 2;
// (32766 + 1) * 2 = 65534 is the largest even size the 16-bit field holds.
constexpr std::size_t kMaxFullNameUnits = 32766;

// A fixed-width name field: a driver may fill all its units, leaving no
// terminator, so the end of the field ends the name too.
std::u16string ReadNameField(const std::uint8_t* p) { return ReadNulEndedName(p, kDmNameUnits).name; }

EncodeResult Refused(EncodeFailure failure) { return EncodeResult{{}, failure}; }

std::string Hex32(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

DecodeResult Invalid(std::size_t offset, std::string message) {
    return DecodeResult{std::nullopt, DecodeError{offset, std::move(message)}};
}

}  // namespace

std::vector<const RecordSetting*> FieldBitsPastDmSize(std::uint32_t dmFields, std::uint16_t dmSize) {
    std::vector<const RecordSetting*> past;
    for (const RecordSetting& setting : kRecordSettings)
        if ((dmFields & setting.bit) != 0 && setting.End() > dmSize)
            past.push_back(&setting);
    return past;
}

EncodeResult EncodeDeviceInfo(const std::uint8_t* block, std::size_t blockSize, const std::u16string* fullName,
                              const NameComparison& comparison) {
    if (block == nullptr || blockSize < kMinDmSize)
        return Refused(EncodeFailure::RecordTooSmall);
    if (ReadU16(block + kDmSizeOffset) < kMinDmSize)
        return Refused(EncodeFailure::RecordTooSmall);
    const std::optional<std::size_t> claimed = ClaimedSizeWithin(block, blockSize);
    if (!claimed)
        return Refused(EncodeFailure::RecordExceedsBlock);
    const std::size_t recordSize = *claimed;

    // The record's name field holds at most 32 units; a longer printer name
    // survives only in the tail. Whatever follows a NUL in the full name was
    // never part of the name the device name record holds.
    std::optional<std::u16string> tailName;
    if (fullName != nullptr) {
        std::u16string name = fullName->substr(0, fullName->find(u'\0'));
        if (comparison.CompareNames(ReadNameField(block + kDmDeviceNameOffset), name) != 0)
            tailName = std::move(name);
    }
    // A size that wrapped to 16 bits would describe a shorter name than the
    // one written, and a reader would take the rest for garbage.
    if (tailName && tailName->size() > kMaxFullNameUnits)
        return Refused(EncodeFailure::FullNameTooLong);

    EncodeResult result;
    std::vector<std::uint8_t>& out = result.bytes;
    out.reserve(kDeviceInfoHeaderSize + recordSize + (tailName ? kFullNameSizeBytes + 2 * (tailName->size() + 1) : 0));
    AppendU32(out, static_cast<std::uint32_t>(recordSize));
    out.insert(out.end(), block, block + recordSize);
    if (tailName) {
        AppendU16(out, static_cast<std::uint16_t>((tailName->size() + 1) * 2));
        for (char16_t unit : *tailName)
            AppendU16(out, unit);
        AppendU16(out, 0);
    }
    return result;
}

std::u16string PrinterNamedBy(const DeviceInfo& info) {
    return info.fullDeviceName ? *info.fullDeviceName : info.record.dmDeviceName;
}

namespace {

// The public fields dmSize covers, and a warning for each dmFields bit that
// vouches for a field past it.
void ReadPublicFields(const std::uint8_t* record, DeviceInfo& info) {
    DevModeFields& fields = info.record;
    // Only what lies inside dmSize belongs to the public part; past it the
    // bytes are the driver's own and mean nothing to a reader.
    const auto covers = [&](std::size_t end) { return end <= fields.dmSize; };
    // A bit for a field past dmSize is the driver's slip, not a broken file:
    // the save writes the record as the driver gave it, so a reader is told
    // and goes on. The "field" there is driver-private bytes.
    if (covers(kDmFieldsEnd)) {
        fields.dmFields = ReadU32(record + kDmFieldsOffset);
        for (const RecordSetting* setting : FieldBitsPastDmSize(*fields.dmFields, fields.dmSize))
            info.warnings.push_back({kDeviceInfoHeaderSize + kDmFieldsOffset,
                                     "dmFields sets " + std::string(setting->win32Name) + " (" + Hex32(setting->bit) +
                                         "), whose field ends at record byte " + std::to_string(setting->End()) +
                                         ", past dmSize " + std::to_string(fields.dmSize) +
                                         ": its bytes are not there, a reader must not use it"});
    }
    for (const DmShortField& field : kDmShortFields)
        if (covers(field.setting.End()))
            fields.*field.member = static_cast<std::int16_t>(ReadU16(record + field.setting.offset));
    if (covers(kFormNameSetting.End()))
        fields.dmFormName = ReadNameField(record + kFormNameSetting.offset);
}

// The tail after the record ends at recordEnd: FullNameSize and the full
// name. Its size must account for every remaining byte: a reader that trusts
// FullNameSize and one that trusts the file length must agree. The name, or
// what is wrong with the tail.
DecodeResult ReadFullNameTail(const std::uint8_t* bytes, std::size_t size, std::size_t recordEnd, DeviceInfo info) {
    const std::size_t after = size - recordEnd;
    if (after < kFullNameSizeBytes)
        return Invalid(recordEnd, "1 byte after the settings record: too short for FullNameSize, which takes 2");
    const std::uint16_t fullNameSize = ReadU16(bytes + recordEnd);
    const std::size_t nameStart = recordEnd + kFullNameSizeBytes;
    if (fullNameSize != after - kFullNameSizeBytes)
        return Invalid(recordEnd, "FullNameSize " + std::to_string(fullNameSize) + " disagrees with the " +
                                      std::to_string(after - kFullNameSizeBytes) + " bytes that follow it");
    if (fullNameSize % 2 != 0)
        return Invalid(recordEnd, "FullNameSize " + std::to_string(fullNameSize) +
                                      " is odd, but a UTF-16 name takes whole 2-byte units");
    const std::size_t units = fullNameSize / 2;
    if (units == 0 || ReadU16(bytes + size - 2) != 0)
        return Invalid(units == 0 ? recordEnd : size - 2, "FullDeviceName does not end with a NUL code unit");
    std::u16string fullName;
    for (std::size_t i = 0; i + 1 < units; ++i) {
        const char16_t unit = ReadU16(bytes + nameStart + 2 * i);
        // A reader that stops at the first NUL would see a different name.
        if (unit == u'\0')
            return Invalid(nameStart + 2 * i,
                           "FullDeviceName holds a NUL at code unit " + std::to_string(i) + ", before its terminator");
        fullName.push_back(unit);
    }
    info.fullDeviceName = std::move(fullName);
    return DecodeResult{std::move(info), std::nullopt};
}

}  // namespace

DecodeResult DecodeDeviceInfo(const std::uint8_t* bytes, std::size_t size) {
    const std::string fileHas = "the file has " + std::to_string(size) + " bytes";
    if (size < kDeviceInfoHeaderSize)
        return Invalid(0, "file ends inside DevModeSize, which takes 4 bytes; " + fileHas);
    const std::uint32_t devModeSize = ReadU32(bytes);
    if (devModeSize < kMinDmSize)
        return Invalid(0, "DevModeSize " + std::to_string(devModeSize) +
                              " is smaller than the 72 bytes a settings record needs to hold dmSize and dmDriverExtra");
    // Compared against what is left after the header rather than by adding
    // to the size: in a 32-bit build 4 + a DevModeSize near 2^32 wraps round
    // to a small number and would pass.
    if (devModeSize > size - kDeviceInfoHeaderSize)
        return Invalid(0, "file is shorter than its header says: DevModeSize " + std::to_string(devModeSize) +
                              " needs " + std::to_string(std::uint64_t{kDeviceInfoHeaderSize} + devModeSize) +
                              " bytes, " + fileHas);
    const std::size_t recordEnd = kDeviceInfoHeaderSize + devModeSize;

    const std::uint8_t* record = bytes + kDeviceInfoHeaderSize;
    DeviceInfo info;
    DevModeFields& fields = info.record;
    fields.dmDeviceName = ReadNameField(record + kDmDeviceNameOffset);
    fields.dmSpecVersion = ReadU16(record + kDmSpecVersionOffset);
    fields.dmDriverVersion = ReadU16(record + kDmDriverVersionOffset);
    fields.dmSize = ReadU16(record + kDmSizeOffset);
    fields.dmDriverExtra = ReadU16(record + kDmDriverExtraOffset);
    if (fields.dmSize < kMinDmSize)
        return Invalid(
            kDeviceInfoHeaderSize + kDmSizeOffset,
            "dmSize " + std::to_string(fields.dmSize) + " is smaller than the 72 bytes up to the end of dmDriverExtra");
    // The record must claim exactly the bytes the header gives it.
    if (ClaimedSizeWithin(record, devModeSize) != std::optional<std::size_t>{devModeSize})
        return Invalid(0, "DevModeSize " + std::to_string(devModeSize) + " disagrees with dmSize " +
                              std::to_string(fields.dmSize) + " + dmDriverExtra " +
                              std::to_string(fields.dmDriverExtra) + " = " + std::to_string(ClaimedRecordSize(record)));
    ReadPublicFields(record, info);

    info.fileSize = size;
    info.devModeSize = devModeSize;
    info.driverPrivateOffset = kDeviceInfoHeaderSize + fields.dmSize;
    info.driverPrivateSize = fields.dmDriverExtra;
    if (size == recordEnd)
        return DecodeResult{std::move(info), std::nullopt};
    return ReadFullNameTail(bytes, size, recordEnd, std::move(info));
}

}  // namespace ikw
