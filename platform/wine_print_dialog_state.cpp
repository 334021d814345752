#include "platform/wine_print_dialog_state.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/movable_records.h"

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

// DeviceCapabilitiesW's DC_PAPERNAMES gives each name in this many units.
constexpr size_t kPaperNameUnits = 64;

// Wine's dialog writes the paper the user picks into the record's paper
// number alone. The width and length stay those of the printer's default
// paper, and drivers read them as a custom size that overrides the number;
// after a printer change the form name stays the default paper's as well. The
// record would name one paper and describe another, so those fields are made
// to describe the paper the record names, from the driver's own paper table,
// as a driver's settings sheet does when it sets a paper.
void DescribeNamedPaper(DEVMODEW& record, const PRINTER_INFO_2W& printer) {
    if (!(record.dmFields & DM_PAPERSIZE) || !printer.pPrinterName ||
        record.dmSize < offsetof(DEVMODEW, dmFormName) + sizeof(record.dmFormName))
        return;
    const wchar_t* name = printer.pPrinterName;
    const wchar_t* port = printer.pPortName;
    const int count = DeviceCapabilitiesW(name, port, DC_PAPERS, nullptr, &record);
    if (count <= 0 || DeviceCapabilitiesW(name, port, DC_PAPERNAMES, nullptr, &record) != count ||
        DeviceCapabilitiesW(name, port, DC_PAPERSIZE, nullptr, &record) != count)
        return;
    std::vector<WORD> papers(count);
    std::vector<wchar_t> names(count * kPaperNameUnits);
    std::vector<POINT> sizes(count);
    DeviceCapabilitiesW(name, port, DC_PAPERS, reinterpret_cast<LPWSTR>(papers.data()), &record);
    DeviceCapabilitiesW(name, port, DC_PAPERNAMES, names.data(), &record);
    DeviceCapabilitiesW(name, port, DC_PAPERSIZE, reinterpret_cast<LPWSTR>(sizes.data()), &record);

    const auto paper = std::find(papers.begin(), papers.end(), static_cast<WORD>(record.dmPaperSize));
    if (paper == papers.end())
        return;
    const size_t index = paper - papers.begin();
    if (record.dmFields & DM_PAPERWIDTH)
        record.dmPaperWidth = static_cast<short>(sizes[index].x);
    if (record.dmFields & DM_PAPERLENGTH)
        record.dmPaperLength = static_cast<short>(sizes[index].y);
    if (record.dmFields & DM_FORMNAME) {
        const wchar_t* paperName = &names[index * kPaperNameUnits];
        const size_t length = std::min(wcsnlen(paperName, kPaperNameUnits), size_t{CCHFORMNAME - 1});
        std::fill(std::begin(record.dmFormName), std::end(record.dmFormName), L'\0');
        std::copy(paperName, paperName + length, record.dmFormName);
    }
}

// Whether the record is one the printer's driver made for this printer: the
// driver names its records the same way each time. Only the name up to its
// terminator counts; Wine leaves older bytes after it.
bool IsRecordOfPrinter(const DEVMODEW& record, const PRINTER_INFO_2W& printer) {
    if (!printer.pPrinterName)
        return false;
    std::wstring name = printer.pPrinterName;
    HANDLE handle = nullptr;
    if (!OpenPrinterW(name.data(), &handle, nullptr))
        return false;
    bool same = false;
    const LONG size = DocumentPropertiesW(nullptr, handle, name.data(), nullptr, nullptr, 0);
    if (size >= static_cast<LONG>(offsetof(DEVMODEW, dmSpecVersion))) {
        std::vector<unsigned char> fresh(static_cast<size_t>(size));
        auto* own = reinterpret_cast<DEVMODEW*>(fresh.data());
        same = DocumentPropertiesW(nullptr, handle, name.data(), own, nullptr, DM_OUT_BUFFER) == IDOK &&
               std::wcsncmp(record.dmDeviceName, own->dmDeviceName, CCHDEVICENAME) == 0;
    }
    ClosePrinter(handle);
    return same;
}

// The live record as it should be saved, in a movable block of exactly
// dmSize + dmDriverExtra bytes. Wine's own record is left alone.
HGLOBAL CopyLiveRecord(const DEVMODEW& live, const PRINTER_INFO_2W& printer) {
    const SIZE_T size = SIZE_T{live.dmSize} + live.dmDriverExtra;
    std::vector<unsigned char> copy(reinterpret_cast<const unsigned char*>(&live),
                                    reinterpret_cast<const unsigned char*>(&live) + size);
    if (size >= sizeof(DEVMODEW))
        DescribeNamedPaper(*reinterpret_cast<DEVMODEW*>(copy.data()), printer);
    return CopyToMovableBlock(copy.data(), size);
}

void Replace(HGLOBAL& handle, HGLOBAL fresh) {
    if (handle)
        GlobalFree(handle);
    handle = fresh;
}

}  // namespace

bool RefreshFromWinePrintDialog(HWND dialog, PRINTDLGW& parameterBlock) {
    const auto* data = static_cast<const WinePrintDialogData*>(GetPropW(dialog, kWineDialogDataProperty));
    if (!data)
        return true;
    // When the driver gives no settings for the printer chosen last (Wine 8's
    // gives none for names of 100 characters or more), Wine's dialog shows
    // that printer but keeps the previous printer's record, or none. A save
    // must not write that record as this printer's: without settings of the
    // printer shown, it saves nothing.
    if (!data->devMode || !data->printerInfo || !IsRecordOfPrinter(*data->devMode, *data->printerInfo)) {
        Replace(parameterBlock.hDevMode, nullptr);
        Replace(parameterBlock.hDevNames, nullptr);
        return true;
    }
    // A printer change replaces Wine's record, so it is read afresh each time.
    return HandOverRecords(parameterBlock, CopyLiveRecord(*data->devMode, *data->printerInfo),
                           MakeDeviceNames(*data->printerInfo));
}

}  // namespace ikw
