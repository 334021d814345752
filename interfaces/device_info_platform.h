#pragma once
// Files and printer drivers as the core reads device info files through them:
// the open of a saved file, and ikwdev-settings, which captures, checks and
// applies files the same way.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ikw {

// What the platform carries out for an open, and for ikwdev-settings.
class DeviceInfoPlatform {
public:
    virtual ~DeviceInfoPlatform() = default;
    // The path made full against the current folder: a relative path would
    // no longer name the file once a save dialog has moved elsewhere.
    virtual std::u16string FullPathOf(const std::u16string& path) = 0;
    // The file's first bytes, at most maxBytes of them; nullopt when it
    // cannot be opened or read.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::u16string& path, std::size_t maxBytes) = 0;
    // The record the printer's driver makes (DocumentPropertiesW with an
    // output buffer), exactly dmSize + dmDriverExtra bytes long; nullopt when
    // it gives none.
    virtual std::optional<std::vector<std::uint8_t>> DriverRecordOf(const std::u16string& printer) = 0;
    // The driver's record with the given record's settings merged in by the
    // driver itself (DocumentPropertiesW with input and output buffers), so
    // that the driver checks every value; nullopt when the driver refuses.
    virtual std::optional<std::vector<std::uint8_t>> MergeThroughDriver(const std::u16string& printer,
                                                                        const std::vector<std::uint8_t>& record) = 0;
};

}  // namespace ikw
