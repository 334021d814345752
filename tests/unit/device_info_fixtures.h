#pragma once
// The unit tests' one builder of settings records (DEVMODEW), names records
// (DEVNAMES) and device info files. It writes bytes by hand, apart from the
// core's own reader and writer, so a fault there cannot hide in a fixture.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace ikw::test_support {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    PutU16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    PutU16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint16_t GetU16(const Bytes& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline void AppendU16(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A settings record in a block as a driver hands it over: zeroes, then from
// patternFrom on a byte pattern (i * patternStep + patternStart) so that a
// misplaced copy shows, then the name and the two size fields on top.
struct DevModeShape {
    std::u16string name;
    std::size_t nameUnits = 32;  // how much of the name field is written: the name, cut, then NULs
    std::uint16_t dmSize = 220;
    std::uint16_t dmDriverExtra = 0;
    std::size_t blockSize = 0;  // at least the record and its 72 bytes of fixed fields
    std::size_t patternFrom = std::numeric_limits<std::size_t>::max();  // the default: no pattern
    std::uint8_t patternStep = 0;
    std::uint8_t patternStart = 0;
};

inline Bytes MakeDevMode(const DevModeShape& shape) {
    const std::size_t recordSize = std::size_t{shape.dmSize} + shape.dmDriverExtra;
    Bytes bytes(std::max({recordSize, shape.blockSize, std::size_t{72}}), 0);
    for (std::size_t i = shape.patternFrom; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * shape.patternStep + shape.patternStart);
    for (std::size_t unit = 0; unit < shape.nameUnits; ++unit)
        PutU16(bytes, unit * 2, unit < shape.name.size() ? shape.name[unit] : 0);
    PutU16(bytes, 68, shape.dmSize);
    PutU16(bytes, 70, shape.dmDriverExtra);
    return bytes;
}

// A DEVNAMES record: four u16 fields (the offsets count UTF-16 units), then
// the driver, device and port names, each NUL-terminated.
inline Bytes MakeDevNames(const std::u16string& driver, const std::u16string& device, const std::u16string& port) {
    Bytes bytes(8, 0);
    std::uint16_t offset = 4;
    for (std::size_t field = 0; field < 3; ++field) {
        const std::u16string& name = field == 0 ? driver : field == 1 ? device : port;
        PutU16(bytes, field * 2, offset);
        for (char16_t unit : name)
            AppendU16(bytes, unit);
        AppendU16(bytes, 0);
        offset = static_cast<std::uint16_t>(offset + name.size() + 1);
    }
    return bytes;
}

// A device info file: DevModeSize, the first recordSize bytes of the
// record, then the full-name tail when one is given.
inline Bytes MakeDeviceInfoFile(const Bytes& devMode, std::uint32_t recordSize, const std::u16string* tail = nullptr) {
    Bytes bytes;
    AppendU16(bytes, static_cast<std::uint16_t>(recordSize & 0xFFFF));
    AppendU16(bytes, static_cast<std::uint16_t>(recordSize >> 16));
    bytes.insert(bytes.end(), devMode.begin(), devMode.begin() + recordSize);
    if (tail) {
        AppendU16(bytes, static_cast<std::uint16_t>((tail->size() + 1) * 2));
        for (char16_t unit : *tail)
            AppendU16(bytes, unit);
        AppendU16(bytes, 0);
    }
    return bytes;
}

}  // namespace ikw::test_support
