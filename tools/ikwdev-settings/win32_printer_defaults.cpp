#include "tools/ikwdev-settings/win32_printer_defaults.h"

#include <windows.h>
#include <winspool.h>

#include "platform/printer_handle.h"
#include "platform/wide_string.h"

namespace ikw::settings {

// Windows keeps this user's defaults (level 9) in the user's profile, and
// every user's (level 8) with the printer, which only a handle with the
// right to manage the printer may change. Under Wine both levels write the
// printer's one "Default DevMode" value, shared by every user of the prefix,
// and no right is checked.
SetOutcome Win32PrinterDefaults::SetDefaults(const std::u16string& printer, const std::vector<std::uint8_t>& record,
                                             DefaultsScope scope) {
    const bool allUsers = scope == DefaultsScope::AllUsers;
    PrinterHandle handle(printer, allUsers ? PRINTER_ALL_ACCESS : PRINTER_ACCESS_USE);
    if (!handle)
        return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
    // The spooler reads dmSize + dmDriverExtra bytes: the record is whole.
    std::vector<std::uint8_t> copy(record);
    auto* devMode = reinterpret_cast<DEVMODEW*>(copy.data());
    BOOL set = FALSE;
    if (allUsers) {
        PRINTER_INFO_8W info{devMode};
        set = SetPrinterW(handle.Get(), 8, reinterpret_cast<BYTE*>(&info), 0);
    } else {
        PRINTER_INFO_9W info{devMode};
        set = SetPrinterW(handle.Get(), 9, reinterpret_cast<BYTE*>(&info), 0);
    }
    if (set)
        return SetOutcome::Set;
    return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
}

bool Win32PrinterDefaults::MakeFolder(const std::u16string& folder) {
    const std::wstring wide = ToWide(folder);
    CreateDirectoryW(wide.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace ikw::settings
