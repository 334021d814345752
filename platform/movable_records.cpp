#include "platform/movable_records.h"

#include <commdlg.h>

#include <cstring>
#include <new>
#include <string>

namespace ikw {

GlobalBlock CopyToMovableBlock(const void* data, SIZE_T size) {
    GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, size));
    {
        const GlobalLockHolder target(block.Get());
        if (!target.Bytes())
            throw std::bad_alloc();
        std::memcpy(target.Bytes(), data, size);
    }
    return block;
}

// Three offsets in UTF-16 units, a flag word, then the driver, device and
// port names, each NUL-terminated.
GlobalBlock MakeDeviceNames(const PRINTER_INFO_2W& printer) {
    const wchar_t* names[] = {printer.pDriverName, printer.pPrinterName, printer.pPortName};
    std::wstring record(sizeof(DEVNAMES) / sizeof(wchar_t), L'\0');
    WORD offsets[3];
    for (int i = 0; i < 3; ++i) {
        offsets[i] = static_cast<WORD>(record.size());
        if (names[i])
            record += names[i];
        record += L'\0';
    }
    DEVNAMES header{offsets[0], offsets[1], offsets[2], 0};
    std::memcpy(record.data(), &header, sizeof(header));
    return CopyToMovableBlock(record.data(), record.size() * sizeof(wchar_t));
}

}  // namespace ikw
