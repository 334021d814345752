#include "platform/win32_print_services.h"

#include <windows.h>
#include <winspool.h>

#include <new>

#include "platform/wide_string.h"

namespace ikw {

namespace {

std::optional<std::vector<std::u16string>> EnumeratePrinters(DWORD flags) {
    DWORD bytesNeeded = 0;
    DWORD count = 0;
    EnumPrintersW(flags, nullptr, 1, nullptr, 0, &bytesNeeded, &count);

    std::vector<BYTE> buffer;
    try {
        buffer.assign(bytesNeeded, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    count = 0;
    // A printer added between the two calls makes the second one fail with a
    // partly filled buffer: its records must not be read then.
    if (!EnumPrintersW(flags, nullptr, 1, buffer.data(), bytesNeeded, &bytesNeeded, &count))
        count = 0;

    std::vector<std::u16string> names;
    const auto* records = reinterpret_cast<const PRINTER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(records[i].pName ? FromWide(records[i].pName) : std::u16string());
    return names;
}

}  // namespace

std::optional<std::vector<std::u16string>> Win32PrintServices::EnumerateLocalPrinters() {
    return EnumeratePrinters(PRINTER_ENUM_LOCAL);
}

std::optional<std::vector<std::u16string>> Win32PrintServices::EnumerateInstalledPrinters() {
    return EnumeratePrinters(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS);
}

std::u16string Win32PrintServices::QueryDefaultPrinter() {
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length == 0)
        return {};
    std::wstring buffer(length, L'\0');
    GetDefaultPrinterW(buffer.data(), &length);
    return FromWide(buffer.c_str());
}

bool Win32PrintServices::ChangeDefaultPrinter(const std::u16string& name) {
    return ::SetDefaultPrinterW(ToWide(name).c_str()) != FALSE;
}

// Ordinal, as the spooler matches names: no locale may make two printers one.
bool Win32PrintServices::IsSamePrinterName(const std::u16string& a, const std::u16string& b) const {
    const std::wstring wideA = ToWide(a), wideB = ToWide(b);
    return CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

int Win32PrintServices::CompareNames(const std::u16string& a, const std::u16string& b) const {
    return lstrcmpW(ToWide(a).c_str(), ToWide(b).c_str());
}

}  // namespace ikw
