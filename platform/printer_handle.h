#pragma once
// An open printer (OpenPrinterW), closed on every path out.

#include <windows.h>
#include <winspool.h>

#include <string>

#include "platform/wide_string.h"

namespace ikw {

class PrinterHandle {
public:
    explicit PrinterHandle(const std::u16string& printer) : PrinterHandle(ToWide(printer)) {}
    explicit PrinterHandle(std::wstring printer) : m_name(std::move(printer)) {
        if (!OpenPrinterW(m_name.data(), &m_handle, nullptr))
            m_handle = nullptr;
    }
    // access: what the handle is to allow (PRINTER_ACCESS_USE, PRINTER_ALL_ACCESS);
    // the constructors above ask for the spooler's default for this user.
    PrinterHandle(const std::u16string& printer, ACCESS_MASK access) : m_name(ToWide(printer)) {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        if (!OpenPrinterW(m_name.data(), &m_handle, &defaults))
            m_handle = nullptr;
    }
    ~PrinterHandle() {
        if (m_handle)
            ClosePrinter(m_handle);
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;

    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    // The spooler's calls take the name as a writable string.
    wchar_t* Name() { return m_name.data(); }

private:
    std::wstring m_name;
    HANDLE m_handle = nullptr;
};

}  // namespace ikw
