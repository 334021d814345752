#pragma once
// The one reader and writer of the little-endian fields in device settings
// records and device info files. Byte by byte, so the host, 32-bit and 64-bit
// builds agree whatever the alignment and byte order of the machine. The
// caller checks that the bytes are there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ikw {

inline std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(ReadU16(p)) | (static_cast<std::uint32_t>(ReadU16(p + 2)) << 16);
}

inline void WriteU16(std::uint8_t* p, std::uint16_t value) {
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void WriteU32(std::uint8_t* p, std::uint32_t value) {
    WriteU16(p, static_cast<std::uint16_t>(value & 0xFFFF));
    WriteU16(p + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    AppendU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    AppendU16(out, static_cast<std::uint16_t>(value >> 16));
}

// UTF-16 units up to the first NUL, reading no more than maxUnits of them.
struct NulEndedName {
    std::u16string name;
    bool terminated = false;  // a NUL was found within maxUnits
};

inline NulEndedName ReadNulEndedName(const std::uint8_t* p, std::size_t maxUnits) {
    NulEndedName result;
    for (std::size_t i = 0; i < maxUnits; ++i) {
        const char16_t unit = ReadU16(p + 2 * i);
        if (unit == u'\0') {
            result.terminated = true;
            break;
        }
        result.name.push_back(unit);
    }
    return result;
}

}  // namespace ikw
