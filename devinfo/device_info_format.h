#pragma once
// The device info file (.dev): a 4-byte little-endian record size, the device
// settings record byte for byte, and, only when the record's copy of the
// printer name differs from the full name, a 2-byte size and the full name.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/print_services.h"

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
// fullName: the name at wDeviceOffset of the device name record, or null when
// there is no such record or it could not be locked (then there is no tail).
EncodeResult EncodeDeviceInfo(const std::uint8_t* block, std::size_t blockSize, const std::u16string* fullName,
                              const NameComparison& comparison);

}  // namespace ikw
