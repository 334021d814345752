#include "platform/win32_print_services.h"

#include <windows.h>
#include <winspool.h>

#include <new>

#include "framework/unique_handle.h"
#include "platform/wide_string.h"

namespace ikw {

namespace {

// A printer added between the call that asks for the size and the one that
// fills the buffer makes the second fail for want of room: the list is asked
// for again, a few times, before that counts as a failure.
constexpr int kListAttempts = 4;

std::u16string SystemText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const fw::UniqueHandle<HLOCAL, LocalFree> owner(text);
    std::u16string message = length != 0 ? FromWide(text, length) : std::u16string();
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' '))
        message.pop_back();
    const std::u16string code = u"error " + FromWide(std::to_wstring(error));
    return message.empty() ? code : message + u" (" + code + u")";
}

// Fills the buffer with the list; false with the system's error when the
// spooler did not give it.
bool FillPrinterList(DWORD flags, std::vector<BYTE>& buffer, DWORD& count, DWORD& error) {
    DWORD bytesNeeded = 0;
    for (int attempt = 0; attempt < kListAttempts; ++attempt) {
        count = 0;
        if (EnumPrintersW(flags, nullptr, 1, buffer.empty() ? nullptr : buffer.data(),
                          static_cast<DWORD>(buffer.size()), &bytesNeeded, &count))
            return true;
        error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || bytesNeeded <= buffer.size())
            return false;
        try {
            buffer.assign(bytesNeeded, 0);
        } catch (const std::bad_alloc&) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            return false;
        }
    }
    return false;
}

}  // namespace

std::optional<std::vector<std::u16string>> Win32PrintServices::EnumeratePrinters(unsigned long flags) {
    std::vector<BYTE> buffer;
    DWORD count = 0;
    DWORD error = ERROR_SUCCESS;
    if (!FillPrinterList(flags, buffer, count, error)) {
        m_listFailure = SystemText(error);
        return std::nullopt;
    }
    std::vector<std::u16string> names;
    const auto* records = reinterpret_cast<const PRINTER_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(records[i].pName ? FromWide(records[i].pName) : std::u16string());
    return names;
}

std::u16string Win32PrintServices::WhyListFailed() const { return m_listFailure; }

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
