#include "platform/movable_records.h"

#include <cstring>
#include <string>

namespace ikw {

HGLOBAL CopyToMovableBlock(const void* data, SIZE_T size) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

// Three offsets in UTF-16 units, a flag word, then the driver, device and
// port names, each NUL-terminated.
HGLOBAL MakeDeviceNames(const PRINTER_INFO_2W& printer) {
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

bool HandOverRecords(PRINTDLGW& parameterBlock, HGLOBAL devMode, HGLOBAL devNames) {
    if (!devMode || !devNames) {
        if (devMode)
            GlobalFree(devMode);
        if (devNames)
            GlobalFree(devNames);
        return false;
    }
    for (HGLOBAL* held : {&parameterBlock.hDevMode, &parameterBlock.hDevNames})
        if (*held)
            GlobalFree(*held);
    parameterBlock.hDevMode = devMode;
    parameterBlock.hDevNames = devNames;
    return true;
}

}  // namespace ikw
