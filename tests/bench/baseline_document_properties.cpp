// The settings benchmark's floor: what asking each printer's driver for its
// record costs in a fresh process, which is the least a capture of that
// printer can cost. For every local printer, once: open it, ask the driver
// for the record's size and then for the record (DocumentPropertiesW), close
// it. Prints the printers' count and the microseconds all of it took.

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <vector>

int wmain() {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> list(needed);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 1, list.data(), needed, &needed, &count))
        return 1;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_1W*>(list.data());
    for (DWORD i = 0; i < count; ++i) {
        HANDLE printer = nullptr;
        if (!OpenPrinterW(printers[i].pName, &printer, nullptr))
            return 1;
        const LONG size = DocumentPropertiesW(nullptr, printer, printers[i].pName, nullptr, nullptr, 0);
        std::vector<BYTE> record(size > 0 ? static_cast<size_t>(size) : 1);
        const LONG got = DocumentPropertiesW(nullptr, printer, printers[i].pName,
                                             reinterpret_cast<DEVMODEW*>(record.data()), nullptr, DM_OUT_BUFFER);
        ClosePrinter(printer);
        if (size <= 0 || got != IDOK)
            return 1;
    }
    QueryPerformanceCounter(&end);
    std::printf("%lu %lld\n", static_cast<unsigned long>(count),
                (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    return 0;
}
