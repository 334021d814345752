#include "platform/win32_device_settings_merge.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>

#include "devinfo/device_records.h"
#include "platform/movable_records.h"
#include "platform/printer_handle.h"
#include "platform/wide_string.h"

namespace ikw {
namespace {

// The size of the whole record the driver makes (public and private part);
// 0 when it gives none, or one too short to hold its own size fields, which
// nothing could then check.
std::size_t DriverRecordSize(PrinterHandle& printer) {
    if (!printer)
        return 0;
    const LONG size = DocumentPropertiesW(nullptr, printer.Get(), printer.Name(), nullptr, nullptr, 0);
    return size < static_cast<LONG>(kMinDmSize) ? 0 : static_cast<std::size_t>(size);
}

// The driver's answer is trusted no further than its own sizes agree with
// the buffer it was given: a record claiming more would be read past its end.
std::optional<std::vector<std::uint8_t>> AskDriver(PrinterHandle& printer, const DEVMODEW* input) {
    const std::size_t size = DriverRecordSize(printer);
    if (size == 0)
        return std::nullopt;
    std::vector<std::uint8_t> output(size);
    auto* record = reinterpret_cast<DEVMODEW*>(output.data());
    const DWORD mode = DM_OUT_BUFFER | (input ? DM_IN_BUFFER : 0);
    if (DocumentPropertiesW(nullptr, printer.Get(), printer.Name(), record, const_cast<DEVMODEW*>(input), mode) != IDOK)
        return std::nullopt;
    const std::optional<std::size_t> claimed = ClaimedSizeWithin(output.data(), output.size());
    if (record->dmSize < kMinDmSize || !claimed)
        return std::nullopt;
    output.resize(*claimed);
    return output;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DriverOwnRecord(const std::u16string& printer) {
    PrinterHandle handle(printer);
    return AskDriver(handle, nullptr);
}

std::optional<std::vector<std::uint8_t>> MergeThroughDriver(const std::u16string& printer,
                                                            const std::vector<std::uint8_t>& record) {
    // The driver reads dmSize + dmDriverExtra bytes of its input, yet some
    // read a DEVMODEW's worth of public fields, or their own full record,
    // whatever the sizes say: the record is handed over in a zero-filled
    // buffer as long as the longest of these.
    PrinterHandle handle(printer);
    std::vector<std::uint8_t> input(record);
    input.resize(std::max({input.size(), sizeof(DEVMODEW), DriverRecordSize(handle)}), 0);
    return AskDriver(handle, reinterpret_cast<const DEVMODEW*>(input.data()));
}

bool StartDialogFromRecord(PRINTDLGW& parameterBlock, const std::u16string& printer,
                           const std::vector<std::uint8_t>& record) {
    PrinterHandle handle(printer);
    if (!handle)
        return false;
    DWORD needed = 0;
    GetPrinterW(handle.Get(), 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W))
        return false;
    std::vector<std::uint8_t> info(needed);
    if (!GetPrinterW(handle.Get(), 2, info.data(), needed, &needed))
        return false;

    GlobalBlock devMode = CopyToMovableBlock(record.data(), record.size());
    GlobalBlock devNames = MakeDeviceNames(*reinterpret_cast<const PRINTER_INFO_2W*>(info.data()));
    // The dialog's parameter block owns its records from here on; the ones it
    // held go with these holders.
    const GlobalBlock replacedDevMode(parameterBlock.hDevMode), replacedDevNames(parameterBlock.hDevNames);
    parameterBlock.hDevMode = devMode.Release();
    parameterBlock.hDevNames = devNames.Release();
    return true;
}

}  // namespace ikw
