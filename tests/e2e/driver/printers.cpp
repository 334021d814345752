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

// The Windows environments a driver is installed for: the 64-bit program's
// and the 32-bit one's.
const wchar_t* const kEnvironments[] = {L"Windows x64", L"Windows NT x86"};

// The driver a printer of our own gets: a copy of its model's, by a name of
// its own, so that it stays when CUPS drops the model and Wine its driver.
std::wstring OwnDriverName(const std::wstring& printer) { return printer + L" driver"; }

bool CopyDriver(HANDLE model, const std::wstring& driverName) {
    auto getDriver = SpoolerFunction<decltype(&GetPrinterDriverW)>("GetPrinterDriverW");
    auto addDriver = SpoolerFunction<decltype(&AddPrinterDriverExW)>("AddPrinterDriverExW");
    for (const wchar_t* environment : kEnvironments) {
        std::wstring environmentName = environment;
        DWORD size = 0;
        getDriver(model, environmentName.data(), 3, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        if (size == 0 || !getDriver(model, environmentName.data(), 3, buffer.data(), size, &size))
            return false;
        auto* info = reinterpret_cast<DRIVER_INFO_3W*>(buffer.data());
        std::wstring name = driverName;
        info->pName = name.data();
        if (!addDriver(nullptr, 3, buffer.data(), APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY))
            return false;
    }
    return true;
}

// The driver's own data of the printer from, its PPD file among them,
// given to the printer to.
bool CopyDriverData(HANDLE from, HANDLE to) {
    auto enumData = SpoolerFunction<decltype(&EnumPrinterDataExW)>("EnumPrinterDataExW");
    auto setData = SpoolerFunction<decltype(&SetPrinterDataExW)>("SetPrinterDataExW");
    const wchar_t* key = L"PrinterDriverData";
    DWORD size = 0;
    DWORD count = 0;
    enumData(from, key, nullptr, 0, &size, &count);
    std::vector<BYTE> buffer(size);
    if (size == 0)
        return true;
    if (enumData(from, key, buffer.data(), size, &size, &count) != ERROR_SUCCESS)
        return false;
    auto* values = reinterpret_cast<PRINTER_ENUM_VALUESW*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (setData(to, key, values[i].pValueName, values[i].dwType, values[i].pData, values[i].cbData) !=
            ERROR_SUCCESS)
            return false;
    }
    return true;
}

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

bool AddPrinterLike(const std::wstring& name, const std::wstring& like) {
    auto openPrinter = SpoolerFunction<decltype(&OpenPrinterW)>("OpenPrinterW");
    auto getPrinter = SpoolerFunction<decltype(&GetPrinterW)>("GetPrinterW");
    auto addPrinter = SpoolerFunction<decltype(&AddPrinterW)>("AddPrinterW");
    std::wstring likeName = like;
    PrinterHandle model;
    if (!openPrinter(likeName.data(), &model.handle, nullptr))
        return false;
    DWORD size = 0;
    getPrinter(model.handle, 2, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !getPrinter(model.handle, 2, buffer.data(), size, &size))
        return false;
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    std::wstring newName = name;
    info->pPrinterName = newName.data();
    info->pShareName = nullptr;
    std::wstring driverName = OwnDriverName(name);
    if (!CopyDriver(model.handle, driverName))
        return false;
    info->pDriverName = driverName.data();
    // Wine drops a printer on a "CUPS:" port whose queue CUPS lacks.
    std::wstring port = L"FILE:";
    info->pPortName = port.data();
    info->Attributes &= ~PRINTER_ATTRIBUTE_SHARED;
    PrinterHandle added;
    added.handle = addPrinter(nullptr, 2, buffer.data());
    return added.handle != nullptr && CopyDriverData(model.handle, added.handle);
}

bool RemovePrinterAdded(const std::wstring& name) {
    auto openPrinter = SpoolerFunction<decltype(&OpenPrinterW)>("OpenPrinterW");
    auto deletePrinter = SpoolerFunction<decltype(&DeletePrinter)>("DeletePrinter");
    auto deleteDriver = SpoolerFunction<decltype(&DeletePrinterDriverW)>("DeletePrinterDriverW");
    std::wstring printerName = name;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    PrinterHandle printer;
    if (!openPrinter(printerName.data(), &printer.handle, &access) || !deletePrinter(printer.handle))
        return false;
    // Only the driver's entry goes: its files are its model's too.
    std::wstring driverName = OwnDriverName(name);
    bool removed = true;
    for (const wchar_t* environment : kEnvironments) {
        std::wstring environmentName = environment;
        removed = deleteDriver(nullptr, environmentName.data(), driverName.data()) && removed;
    }
    return removed;
}

bool MakeDefaultPrinter(const std::wstring& name) {
    return SpoolerFunction<decltype(&SetDefaultPrinterW)>("SetDefaultPrinterW")(name.c_str()) != FALSE;
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
