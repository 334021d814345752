#include "platform/wine_print_dialog_state.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "devinfo/save_device_settings.h"
#include "platform/movable_records.h"
#include "platform/printer_handle.h"

namespace ikw {
namespace {

// Wine keeps a pointer to its working data in this property of the dialog
// window. Only the leading members are read; they have kept this order in
// every Wine release that has the property.
const wchar_t kWineDialogDataProperty[] = L"__WINE_PRINTDLGDATA";

struct WinePrintDialogData {
    DEVMODEW* devMode;  // live: follows every change in the dialog
    PRINTDLGW* printDialog;
    PRINTER_INFO_2W* printerInfo;  // the printer now selected
};

// DeviceCapabilitiesW's DC_PAPERNAMES gives each name in this many units.
constexpr size_t kPaperNameUnits = 64;

// A block of the parameter block, as it stands.
GlobalBlock CopyBlock(HGLOBAL handle) {
    if (!handle)
        return {};
    const GlobalLockHolder lock(handle);
    if (!lock.Bytes())
        return {};
    return CopyToMovableBlock(lock.Bytes(), GlobalSize(handle));
}

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

// The size of the records the printer's driver makes, when the record is
// one it made for this printer: the driver names its records the same way
// each time. Only the name up to its terminator counts; Wine leaves older
// bytes after it. nullopt when it is not, or the driver cannot be asked.
std::optional<std::size_t> OwnRecordSize(const DEVMODEW& record, const PRINTER_INFO_2W& printer) {
    if (!printer.pPrinterName)
        return std::nullopt;
    PrinterHandle printerHandle{std::wstring(printer.pPrinterName)};
    if (!printerHandle)
        return std::nullopt;
    const HANDLE handle = printerHandle.Get();
    wchar_t* const name = printerHandle.Name();
    std::optional<std::size_t> ownSize;
    const LONG size = DocumentPropertiesW(nullptr, handle, name, nullptr, nullptr, 0);
    if (size >= static_cast<LONG>(offsetof(DEVMODEW, dmSpecVersion))) {
        std::vector<unsigned char> fresh(static_cast<size_t>(size));
        auto* own = reinterpret_cast<DEVMODEW*>(fresh.data());
        if (DocumentPropertiesW(nullptr, handle, name, own, nullptr, DM_OUT_BUFFER) == IDOK &&
            std::wcsncmp(record.dmDeviceName, own->dmDeviceName, CCHDEVICENAME) == 0)
            ownSize = static_cast<std::size_t>(size);
    }
    return ownSize;
}

// The live record as it should be saved, in a movable block of exactly its
// size. Wine's own record is left alone.
GlobalBlock CopyLiveRecord(const DEVMODEW& live, std::size_t size, const PRINTER_INFO_2W& printer) {
    std::vector<unsigned char> copy(reinterpret_cast<const unsigned char*>(&live),
                                    reinterpret_cast<const unsigned char*>(&live) + size);
    if (size >= sizeof(DEVMODEW))
        DescribeNamedPaper(*reinterpret_cast<DEVMODEW*>(copy.data()), printer);
    return CopyToMovableBlock(copy.data(), size);
}

}  // namespace

DialogRecordCopies CopyDialogRecords(HWND dialog, const PRINTDLGW& parameterBlock) {
    const auto* data = static_cast<const WinePrintDialogData*>(GetPropW(dialog, kWineDialogDataProperty));
    if (!data)
        return {CopyBlock(parameterBlock.hDevMode), CopyBlock(parameterBlock.hDevNames)};
    // When the driver gives no settings for the printer chosen last (Wine 8's
    // gives none for names of 100 characters or more), Wine's dialog shows
    // that printer but keeps the previous printer's record, or none. A save
    // must not write that record as this printer's: without settings of the
    // printer shown, it saves nothing.
    if (!data->devMode || !data->printerInfo)
        return {};
    const std::optional<std::size_t> driverSize = OwnRecordSize(*data->devMode, *data->printerInfo);
    if (!driverSize)
        return {};
    // The record's own size fields are the driver's word, read through Wine's
    // copy: never copy more than the driver says its records hold.
    const std::optional<std::size_t> size =
        LiveSettingsRecordSize(reinterpret_cast<const std::uint8_t*>(data->devMode), *driverSize);
    if (!size)
        return {};
    // A printer change replaces Wine's record, so it is read afresh each time.
    DialogRecordCopies copies;
    copies.devMode = CopyLiveRecord(*data->devMode, *size, *data->printerInfo);
    copies.devNames = MakeDeviceNames(*data->printerInfo);
    return copies;
}

}  // namespace ikw
