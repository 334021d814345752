// The floor of ikwdev-settings check and apply: a process that makes only the
// platform calls the command cannot do without, and nothing else. It reads
// the file, lists the printers (the file's printer must be installed), asks
// the driver for its record and merges the file's record through it, then
// for check reads this user's printing preferences, or the printer's printing
// defaults when there are none (GetPrinterW level 9, then 8); for apply sets
// this user's printing preferences (SetPrinterW level 9) and reads them back
// as a new program does: in a new process (this one with "read"), which asks
// the driver for its record first and then reads level 9.
//
//     baseline_settings_commands check|apply PRINTER FILE.dev
//     baseline_settings_commands read PRINTER

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kHeaderSize = 4;  // the file's DevModeSize field, then the record

std::vector<BYTE> ReadWholeFile(const wchar_t* path) {
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

bool HasStoredRecord(HANDLE printer, DWORD level) {
    DWORD needed = 0;
    GetPrinterW(printer, level, nullptr, 0, &needed);
    std::vector<BYTE> info(needed ? needed : 1);
    return GetPrinterW(printer, level, info.data(), needed, &needed) &&
           reinterpret_cast<const PRINTER_INFO_9W*>(info.data())->pDevMode != nullptr;
}

bool DriverRecord(HANDLE printer, wchar_t* name, std::vector<BYTE>& record) {
    const LONG size = DocumentPropertiesW(nullptr, printer, name, nullptr, nullptr, 0);
    record.assign(size > 0 ? size : 1, 0);
    return size > 0 && DocumentPropertiesW(nullptr, printer, name, reinterpret_cast<DEVMODEW*>(record.data()), nullptr,
                                           DM_OUT_BUFFER) == IDOK;
}

int ReadAsANewProgram(wchar_t* name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(name, &printer, &access))
        return 1;
    std::vector<BYTE> record;
    const bool done = DriverRecord(printer, name, record) && HasStoredRecord(printer, 9);
    ClosePrinter(printer);
    return done ? 0 : 1;
}

bool ReadBackInANewProcess(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, self, MAX_PATH))
        return false;
    std::wstring command = L"\"" + std::wstring(self) + L"\" read \"" + name + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &started))
        return false;
    DWORD exitCode = 1;
    WaitForSingleObject(started.hProcess, INFINITE);
    GetExitCodeProcess(started.hProcess, &exitCode);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return exitCode == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"read") == 0)
        return ReadAsANewProgram(argv[2]);
    if (argc != 4)
        return 2;
    const bool apply = std::wcscmp(argv[1], L"apply") == 0;
    wchar_t* name = argv[2];
    std::vector<BYTE> file = ReadWholeFile(argv[3]);
    if (file.size() <= kHeaderSize)
        return 1;

    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> list(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, list.data(), needed, &needed, &count))
        return 1;

    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(name, &printer, &access))
        return 1;
    std::vector<BYTE> driver;
    bool done = DriverRecord(printer, name, driver);
    std::vector<BYTE> merged(driver.size());
    std::vector<BYTE> input(file.begin() + kHeaderSize, file.end());
    input.resize(std::max<size_t>(input.size(), std::max<size_t>(sizeof(DEVMODEW), driver.size())), 0);
    done = done && DocumentPropertiesW(nullptr, printer, name, reinterpret_cast<DEVMODEW*>(merged.data()),
                                       reinterpret_cast<DEVMODEW*>(input.data()), DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK;
    if (done && apply) {
        PRINTER_INFO_9W info{reinterpret_cast<DEVMODEW*>(merged.data())};
        done = SetPrinterW(printer, 9, reinterpret_cast<BYTE*>(&info), 0) && ReadBackInANewProcess(name);
    } else if (done) {
        done = HasStoredRecord(printer, 9) || HasStoredRecord(printer, 8);
    }
    ClosePrinter(printer);
    return done ? 0 : 1;
}
