// The floor of ikwdev-settings check and apply: a process that makes only the
// platform calls the command cannot do without, and nothing else. It reads
// the file, lists the printers (the file's printer must be installed), asks
// the driver for its record and merges the file's record through it, then
// for check reads this user's printing preferences, or the printer's printing
// defaults when there are none (GetPrinterW level 9, then 8); for apply sets
// this user's printing preferences (SetPrinterW level 9) and reads them back.
//
//     baseline_settings_commands check|apply PRINTER FILE.dev

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cwchar>
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
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
    const LONG size = DocumentPropertiesW(nullptr, printer, name, nullptr, nullptr, 0);
    std::vector<BYTE> driver(size > 0 ? size : 1), merged(size > 0 ? size : 1);
    std::vector<BYTE> input(file.begin() + kHeaderSize, file.end());
    input.resize(std::max<size_t>(input.size(), std::max<size_t>(sizeof(DEVMODEW), driver.size())), 0);
    bool done = size > 0 &&
                DocumentPropertiesW(nullptr, printer, name, reinterpret_cast<DEVMODEW*>(driver.data()), nullptr,
                                    DM_OUT_BUFFER) == IDOK &&
                DocumentPropertiesW(nullptr, printer, name, reinterpret_cast<DEVMODEW*>(merged.data()),
                                    reinterpret_cast<DEVMODEW*>(input.data()), DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK;
    if (done && apply) {
        PRINTER_INFO_9W info{reinterpret_cast<DEVMODEW*>(merged.data())};
        done = SetPrinterW(printer, 9, reinterpret_cast<BYTE*>(&info), 0) && HasStoredRecord(printer, 9);
    } else if (done) {
        done = HasStoredRecord(printer, 9) || HasStoredRecord(printer, 8);
    }
    ClosePrinter(printer);
    return done ? 0 : 1;
}
