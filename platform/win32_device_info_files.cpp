#include "platform/win32_device_info_files.h"

#include <windows.h>

#include "framework/regular_file.h"
#include "platform/wide_string.h"
#include "platform/win32_device_settings_merge.h"

namespace ikw {
std::u16string Win32DeviceInfoFiles::FullPathOf(const std::u16string& path) {
    const std::wstring wide = ToWide(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return path;
    full.resize(length);
    return FromWide(full);
}

std::optional<std::vector<std::uint8_t>> Win32DeviceInfoFiles::ReadFile(const std::u16string& path,
                                                                        std::size_t maxBytes) {
    // Others may go on reading the file while it is read here; a writer
    // would change it under the reader. Only a regular file is read: reading
    // a pipe (\\.\pipe\name) or a character device waits for a writer that
    // may never come, and no window would ever appear.
    fw::RegularFileRead read = fw::ReadRegularFile(ToWide(path), maxBytes, FILE_SHARE_READ);
    if (read.outcome != fw::RegularFileRead::Outcome::Read)
        return std::nullopt;
    return std::move(read.bytes);
}

std::optional<std::vector<std::uint8_t>> Win32DeviceInfoFiles::DriverRecordOf(const std::u16string& printer) {
    return DriverOwnRecord(printer);
}

std::optional<std::vector<std::uint8_t>> Win32DeviceInfoFiles::MergeThroughDriver(
    const std::u16string& printer, const std::vector<std::uint8_t>& record) {
    return ikw::MergeThroughDriver(printer, record);
}

}  // namespace ikw
