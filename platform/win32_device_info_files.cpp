#include "platform/win32_device_info_files.h"

#include <windows.h>

#include "framework/unique_handle.h"
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
    // would change it under the reader.
    const fw::KernelHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    // Only a file on a disk is read: reading a pipe (\\.\pipe\name) or a
    // character device waits for a writer that may never come, and no
    // window would ever appear.
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(maxBytes);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled), &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}

std::optional<std::vector<std::uint8_t>> Win32DeviceInfoFiles::DriverRecordOf(const std::u16string& printer) {
    return DriverOwnRecord(printer);
}

std::optional<std::vector<std::uint8_t>> Win32DeviceInfoFiles::MergeThroughDriver(
    const std::u16string& printer, const std::vector<std::uint8_t>& record) {
    return ikw::MergeThroughDriver(printer, record);
}

}  // namespace ikw
