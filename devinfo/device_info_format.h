#pragma once
// The device info file (.dev): a 4-byte little-endian record size, the device
// settings record byte for byte, and, only when the record's copy of the
// printer name differs from the full name, a 2-byte size and the full name.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devinfo/device_records.h"
#include "interfaces/name_comparison.h"
#include "devinfo/record_settings.h"

namespace ikw {

enum class EncodeFailure {
    RecordExceedsBlock,  // dmSize + dmDriverExtra claims more bytes than the block holds
    RecordTooSmall,      // dmSize cannot even hold the fields the encoder reads
    FullNameTooLong,     // the name's byte size would not fit the 16-bit size field
};

struct EncodeResult {
    std::vector<std::uint8_t> bytes;  // empty when failure is set
    std::optional<EncodeFailure> failure;
};

// block/blockSize: the locked device settings block as the platform holds it.
// A block shorter than the 72 bytes up to dmDriverExtra is RecordTooSmall.
// fullName: the name at wDeviceOffset of the device name record, or null when
// there is no such record or it could not be locked (then there is no tail).
// It is taken up to its first NUL, as the record holds it.
// Names of 32,767 code units or more are refused only when the tail would
// carry them.
EncodeResult EncodeDeviceInfo(const std::uint8_t* block, std::size_t blockSize, const std::u16string* fullName,
                              const NameComparison& comparison);

// The file's header: DevModeSize, the record's size as 4 bytes. The record
// follows it.
inline constexpr std::size_t kDeviceInfoHeaderSize = 4;
// 4 + (65535 + 65535) + 2 + 65534: nothing longer can be a device info file.
inline constexpr std::size_t kMaxDeviceInfoFileSize = 196610;

// The bits dmFields sets for fields that end past dmSize. Drivers do send
// such records; the encoder writes them as they are and the decoder accepts
// them with a warning for each bit, so whatever a save writes reads back.
std::vector<const RecordSetting*> FieldBitsPastDmSize(std::uint32_t dmFields, std::uint16_t dmSize);

// The public part of the record as a reader of .dev files sees it. A field is
// present only when dmSize covers it; whether the driver set it is told by
// dmFields.
struct DevModeFields {
    std::u16string dmDeviceName;  // up to the first NUL within its 32 units
    std::uint16_t dmSpecVersion = 0;
    std::uint16_t dmDriverVersion = 0;
    std::uint16_t dmSize = 0;
    std::uint16_t dmDriverExtra = 0;
    std::optional<std::uint32_t> dmFields;
    std::optional<std::int16_t> dmOrientation;
    std::optional<std::int16_t> dmPaperSize;
    std::optional<std::int16_t> dmPaperLength;
    std::optional<std::int16_t> dmPaperWidth;
    std::optional<std::int16_t> dmScale;
    std::optional<std::int16_t> dmCopies;
    std::optional<std::int16_t> dmDefaultSource;
    std::optional<std::int16_t> dmPrintQuality;
    std::optional<std::int16_t> dmColor;
    std::optional<std::int16_t> dmDuplex;
    std::optional<std::int16_t> dmYResolution;
    std::optional<std::int16_t> dmTTOption;
    std::optional<std::int16_t> dmCollate;
    std::optional<std::u16string> dmFormName;  // up to the first NUL within its 32 units
};

// The settings the table reads as 16-bit signed numbers, in record order,
// each with the member that holds it: the one list of them for the decoder
// and for whoever prints or reports them.
struct DmShortField {
    const RecordSetting& setting;
    std::optional<std::int16_t> DevModeFields::*member;
};
// The member of the same name as the table's field, so the two cannot drift.
#define IKW_SHORT_FIELD(member) \
    DmShortField { RecordSettingOf(#member), &DevModeFields::member }
inline constexpr std::array<DmShortField, 13> kDmShortFields = {{
    IKW_SHORT_FIELD(dmOrientation),
    IKW_SHORT_FIELD(dmPaperSize),
    IKW_SHORT_FIELD(dmPaperLength),
    IKW_SHORT_FIELD(dmPaperWidth),
    IKW_SHORT_FIELD(dmScale),
    IKW_SHORT_FIELD(dmCopies),
    IKW_SHORT_FIELD(dmDefaultSource),
    IKW_SHORT_FIELD(dmPrintQuality),
    IKW_SHORT_FIELD(dmColor),
    IKW_SHORT_FIELD(dmDuplex),
    IKW_SHORT_FIELD(dmYResolution),
    IKW_SHORT_FIELD(dmTTOption),
    IKW_SHORT_FIELD(dmCollate),
}};
#undef IKW_SHORT_FIELD

// Something a reader should know that does not make the file invalid.
struct DecodeWarning {
    std::size_t offset;  // byte offset in the file the warning is about
    std::string message;
};

struct DeviceInfo {
    std::size_t fileSize = 0;
    std::uint32_t devModeSize = 0;  // DevModeSize: dmSize + dmDriverExtra
    DevModeFields record;
    std::size_t driverPrivateOffset = 0;           // file offset of the driver-private part
    std::size_t driverPrivateSize = 0;             // dmDriverExtra
    std::optional<std::u16string> fullDeviceName;  // the tail, without its NUL
    std::vector<DecodeWarning> warnings;
};

struct DecodeError {
    std::size_t offset;   // byte offset in the file where the problem lies
    std::string message;  // names the problem and the numbers involved
};

struct DecodeResult {
    std::optional<DeviceInfo> info;  // set when the file is valid
    std::optional<DecodeError> error;
};

// The printer a file names. The record's name field holds at most 31 units
// and many drivers keep only what their code page can spell, so the full
// name in the tail, when there is one, is the printer's real name; else
// dmDeviceName.
std::u16string PrinterNamedBy(const DeviceInfo& info);

// Checks everything a reader relies on before it trusts an offset or a size:
// the lengths agree with each other and with the file, and the tail is whole
// and terminated. A dmFields bit for a field past dmSize is a warning.
DecodeResult DecodeDeviceInfo(const std::uint8_t* bytes, std::size_t size);

}  // namespace ikw
