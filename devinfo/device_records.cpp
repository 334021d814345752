#include "devinfo/device_records.h"

#include "devinfo/little_endian.h"

namespace ikw {

namespace {

// wDeviceOffset is the second of the DEVNAMES record's four u16 fields; the
// names follow those 8 bytes.
constexpr std::size_t kDeviceOffsetPosition = 2;
constexpr std::size_t kDevNamesHeaderSize = 8;

}  // namespace

std::uint32_t ClaimedRecordSize(const std::uint8_t* record) {
    return std::uint32_t{ReadU16(record + kDmSizeOffset)} + ReadU16(record + kDmDriverExtraOffset);
}

std::optional<std::size_t> ClaimedSizeWithin(const std::uint8_t* record, std::size_t available) {
    if (record == nullptr || available < kMinDmSize)
        return std::nullopt;
    const std::uint32_t claimed = ClaimedRecordSize(record);
    if (available < claimed)
        return std::nullopt;
    return claimed;
}

// The record comes from the platform's print dialog and ultimately from a
// printer driver. A name whose terminator lies outside the block is refused
// rather than cut at the block's end: memory blocks are handed out rounded up,
// so a sound record always has room for its terminator, and a name cut at an
// arbitrary end would be stored in the file as the printer's full name.
std::optional<std::u16string> ReadDeviceName(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size < kDevNamesHeaderSize)
        return std::nullopt;
    const std::size_t nameOffset = std::size_t{ReadU16(bytes + kDeviceOffsetPosition)} * 2;
    if (nameOffset < kDevNamesHeaderSize || nameOffset >= size)
        return std::nullopt;
    NulEndedName name = ReadNulEndedName(bytes + nameOffset, (size - nameOffset) / 2);
    if (!name.terminated)
        return std::nullopt;
    return std::move(name.name);
}

}  // namespace ikw
