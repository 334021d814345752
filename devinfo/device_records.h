#pragma once
// The records the print dialog and the drivers hand over, read as bytes: the
// device settings record (DEVMODEW), where its fields lie and whether the
// sizes it claims for itself fit the bytes that hold it, and the device names
// record (DEVNAMES). Drivers write the settings record, so nothing that reads
// one trusts its sizes before this check.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ikw {

// Offsets inside the device settings record. A device info file holds the
// record after its header (kDeviceInfoHeaderSize).
inline constexpr std::size_t kDmDeviceNameOffset = 0;
inline constexpr std::size_t kDmNameUnits = 32;  // dmDeviceName and dmFormName
inline constexpr std::size_t kDmSpecVersionOffset = 64;
inline constexpr std::size_t kDmDriverVersionOffset = 66;
inline constexpr std::size_t kDmSizeOffset = 68;
inline constexpr std::size_t kDmDriverExtraOffset = 70;
inline constexpr std::size_t kDmFieldsOffset = 72;
inline constexpr std::size_t kDmFieldsEnd = kDmFieldsOffset + 4;  // a public part this long holds dmFields
// The settings after dmFields, each by its bit: devinfo/record_settings.h.
// The shortest public part that still holds its own size fields.
inline constexpr std::size_t kMinDmSize = 72;

// dmSize + dmDriverExtra of a record whose first kMinDmSize bytes are there.
// Added as 32-bit numbers: two 16-bit sizes near their limit must not wrap.
std::uint32_t ClaimedRecordSize(const std::uint8_t* record);

// The one check of a record's own sizes against the bytes that hold it:
// dmSize + dmDriverExtra when that many of the available bytes are there;
// nullopt when the record claims more, or fewer than kMinDmSize bytes are
// there to read the sizes from. Whether dmSize is long enough for the public
// fields a reader needs is the reader's question.
std::optional<std::size_t> ClaimedSizeWithin(const std::uint8_t* record, std::size_t available);

// The full device name in a DEVNAMES record, found through wDeviceOffset;
// nullopt when the record does not hold a terminated name inside its block.
std::optional<std::u16string> ReadDeviceName(const std::uint8_t* bytes, std::size_t size);

}  // namespace ikw
