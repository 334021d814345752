#include "tools/ikwdev-settings/win32_printer_defaults.h"

#include <windows.h>
#include <winspool.h>

#include "devinfo/device_records.h"
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

namespace {

DWORD LevelOf(DefaultsScope scope) { return scope == DefaultsScope::AllUsers ? 8 : 9; }

// PRINTER_INFO_8W and _9W are both one DEVMODEW pointer into the buffer.
static_assert(sizeof(PRINTER_INFO_8W) == sizeof(PRINTER_INFO_9W));

}  // namespace

// Reads what a new program of this user reads: the spooler's stored record
// for the level, not the driver's record of this process, which Wine's
// driver keeps from the merge whatever the spooler stored.
StoredDefaults Win32PrinterDefaults::ReadDefaults(const std::u16string& printer, DefaultsScope scope) {
    StoredDefaults stored;
    PrinterHandle handle(printer, PRINTER_ACCESS_USE);
    if (!handle)
        return stored;
    DWORD needed = 0;
    GetPrinterW(handle.Get(), LevelOf(scope), nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_9W))
        return stored;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(handle.Get(), LevelOf(scope), buffer.data(), needed, &needed))
        return stored;
    stored.readable = true;
    const auto* record =
        reinterpret_cast<const BYTE*>(reinterpret_cast<const PRINTER_INFO_9W*>(buffer.data())->pDevMode);
    if (!record)
        return stored;
    // The record is trusted no further than it lies inside the buffer and
    // its sizes agree with what is left of it.
    const BYTE* end = buffer.data() + buffer.size();
    if (record < buffer.data() || record >= end)
        return StoredDefaults{};
    const std::optional<std::size_t> size = ClaimedSizeWithin(record, static_cast<std::size_t>(end - record));
    if (!size)
        return StoredDefaults{};
    stored.record.emplace(record, record + *size);
    return stored;
}

// Microsoft's way to let a user start from the printer's printing defaults
// again: level 9 set with no record. It needs no more than the right to use
// the printer.
SetOutcome Win32PrinterDefaults::RemoveUserPreferences(const std::u16string& printer) {
    PrinterHandle handle(printer, PRINTER_ACCESS_USE);
    if (!handle)
        return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
    PRINTER_INFO_9W info{nullptr};
    if (SetPrinterW(handle.Get(), 9, reinterpret_cast<BYTE*>(&info), 0))
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
