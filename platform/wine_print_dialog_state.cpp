#include "platform/wine_print_dialog_state.h"

#include <winspool.h>

#include <cstring>
#include <string>

namespace ikw {
namespace {

// Wine keeps a pointer to its working data in this property of the dialog
// window. Only the leading members are read; they have kept this order in
// every Wine release that has the property.
const wchar_t kWineDialogDataProperty[] = L"__WINE_PRINTDLGDATA";

struct WinePrintDialogData {
    DEVMODEW* devMode;              // live: follows every change in the dialog
    PRINTDLGW* printDialog;
    PRINTER_INFO_2W* printerInfo;   // the printer now selected
};

HGLOBAL CopyToMovableBlock(const void* data, SIZE_T size) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    return block;
}

// A device name record: three offsets in UTF-16 units, a flag word, then the
// driver, device and port names, each NUL-terminated.
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

void Replace(HGLOBAL& handle, HGLOBAL fresh) {
    if (handle)
        GlobalFree(handle);
    handle = fresh;
}

}  // namespace

bool RefreshFromWinePrintDialog(HWND dialog, PRINTDLGW& parameterBlock) {
    const auto* data = static_cast<const WinePrintDialogData*>(GetPropW(dialog, kWineDialogDataProperty));
    if (!data || !data->devMode || !data->printerInfo)
        return true;
    // A printer change replaces Wine's record, so it is read afresh each time.
    const DEVMODEW& live = *data->devMode;
    const HGLOBAL devMode = CopyToMovableBlock(&live, SIZE_T{live.dmSize} + live.dmDriverExtra);
    const HGLOBAL devNames = MakeDeviceNames(*data->printerInfo);
    if (!devMode || !devNames) {
        if (devMode)
            GlobalFree(devMode);
        if (devNames)
            GlobalFree(devNames);
        return false;
    }
    Replace(parameterBlock.hDevMode, devMode);
    Replace(parameterBlock.hDevNames, devNames);
    return true;
}

}  // namespace ikw
