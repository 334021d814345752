#include "printers.h"

#include <windows.h>
#include <winspool.h>

namespace driver {
namespace {

// The spooler is loaded only by the commands that need it, so that
// StoredDefaultPrinter sees the registry before Wine rewrites it.
HMODULE Spooler() {
    static HMODULE module = LoadLibraryW(L"winspool.drv");
    return module;
}

template <typename Function>
Function SpoolerFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(Spooler(), name)));
}

struct PrinterHandle {
    HANDLE handle = nullptr;
    ~PrinterHandle() {
        if (handle)
            SpoolerFunction<decltype(&ClosePrinter)>("ClosePrinter")(handle);
    }
};

}  // namespace

std::wstring DefaultPrinter() {
    auto getDefault = SpoolerFunction<decltype(&GetDefaultPrinterW)>("GetDefaultPrinterW");
    DWORD length = 0;
    getDefault(nullptr, &length);
    if (length == 0)
        return L"";
    std::wstring name(length, L'\0');
    if (!getDefault(name.data(), &length))
        return L"";
    name.resize(wcslen(name.c_str()));
    return name;
}

std::wstring StoredDefaultPrinter() {
    // "name,driver,port", as Windows has kept it since its 16-bit days.
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", L"Device",
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
        return L"";
    }
    std::wstring device = value;
    return device.substr(0, device.find(L','));
}

std::vector<unsigned char> DefaultDeviceSettings(const std::wstring& printer) {
    auto openPrinter = SpoolerFunction<decltype(&OpenPrinterW)>("OpenPrinterW");
    auto documentProperties = SpoolerFunction<decltype(&DocumentPropertiesW)>("DocumentPropertiesW");
    std::wstring name = printer;
    PrinterHandle printerHandle;
    if (!openPrinter(name.data(), &printerHandle.handle, nullptr))
        return {};
    LONG size = documentProperties(nullptr, printerHandle.handle, name.data(), nullptr, nullptr, 0);
    if (size <= 0)
        return {};
    std::vector<unsigned char> record(size);
    auto* devmode = reinterpret_cast<DEVMODEW*>(record.data());
    if (documentProperties(nullptr, printerHandle.handle, name.data(), devmode, nullptr, DM_OUT_BUFFER) != IDOK) {
        return {};
    }
    size_t whole = static_cast<size_t>(devmode->dmSize) + devmode->dmDriverExtra;
    if (whole > record.size())
        return {};
    record.resize(whole);
    return record;
}

}  // namespace driver
