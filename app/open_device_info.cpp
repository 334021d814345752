#include "app/open_device_info.h"

#include <algorithm>

#include "devinfo/device_info_format.h"
#include "devinfo/little_endian.h"
#include "devinfo/save_device_settings.h"

namespace ikw {

namespace {

// Composed here, like the save's error texts, and the same under every
// interface language: each names a file path or a printer, and a path reads
// the same in any language. Each ends in " :" and the path, as "open error :"
// does.
const std::u16string kNotDeviceInfoText = u"not a device info file";
const std::u16string kDriverRefusedText = u"settings refused by the printer's driver";
const std::u16string kDialogFailedText = u"setup dialog could not open";
const std::u16string kFileTooLongReason = u"longer than any device info file can be";
const std::u16string kNoPrinterReason = u"it names no printer";

std::u16string FileProblem(const std::u16string& reason, const std::u16string& file) {
    return kNotDeviceInfoText + u" (" + reason + u") :" + file;
}

// The decoder names problems in ASCII.
std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The record's name field holds at most 31 units and many drivers keep only
// what their code page can spell, so the full name in the tail, when there is
// one, is the printer's real name.
std::u16string PrinterNamedBy(const DeviceInfo& info) {
    return info.fullDeviceName ? *info.fullDeviceName : info.record.dmDeviceName;
}

}  // namespace

std::optional<std::u16string> FindInstalledPrinter(const std::u16string& printer,
                                                   const std::vector<std::u16string>& installed) {
    if (std::find(installed.begin(), installed.end(), printer) == installed.end())
        return std::nullopt;
    return printer;
}

OpenDecision DecideOpen(const std::u16string& file, const std::optional<std::vector<std::uint8_t>>& contents,
                        const std::vector<std::u16string>& installed, const std::u16string& wantedPrinter) {
    if (!contents)
        return {std::nullopt, kOpenErrorText + file};
    if (contents->size() > kMaxDeviceInfoFileSize)
        return {std::nullopt, FileProblem(kFileTooLongReason, file)};
    const DecodeResult decoded = DecodeDeviceInfo(contents->data(), contents->size());
    if (!decoded.info)
        return {std::nullopt, FileProblem(Widen(decoded.error->message), file)};

    const std::u16string named = wantedPrinter.empty() ? PrinterNamedBy(*decoded.info) : wantedPrinter;
    if (named.empty())
        return {std::nullopt, FileProblem(kNoPrinterReason, file)};
    const std::optional<std::u16string> printer = FindInstalledPrinter(named, installed);
    if (!printer)
        return {std::nullopt, kNotInstalledText + u" (" + named + u") :" + file};

    const auto recordStart = contents->begin() + 4;  // after DevModeSize
    return {OpenedDeviceInfo{file, *printer, {recordStart, recordStart + decoded.info->devModeSize}}, u""};
}

std::vector<std::uint8_t> FitRecordToDriver(const std::vector<std::uint8_t>& record, DriverRecordSizes driver) {
    // The decoder has checked that the sizes agree with the record's length;
    // should they not, nothing is read past its end all the same.
    if (record.size() < kMinDmSize)
        return record;
    const std::uint16_t dmSize =
        static_cast<std::uint16_t>(std::min<std::size_t>(ReadU16(record.data() + kDmSizeOffset), record.size()));
    const std::uint16_t dmDriverExtra = static_cast<std::uint16_t>(
        std::min<std::size_t>(ReadU16(record.data() + kDmDriverExtraOffset), record.size() - dmSize));
    const std::uint16_t publicSize =
        std::max<std::uint16_t>(std::min(dmSize, driver.dmSize), static_cast<std::uint16_t>(kMinDmSize));
    const bool keepPrivate = dmDriverExtra == driver.dmDriverExtra;

    std::vector<std::uint8_t> fitted(record.begin(), record.begin() + publicSize);
    if (keepPrivate)
        fitted.insert(fitted.end(), record.begin() + dmSize, record.begin() + dmSize + dmDriverExtra);
    WriteU16(fitted.data() + kDmSizeOffset, publicSize);
    WriteU16(fitted.data() + kDmDriverExtraOffset, keepPrivate ? dmDriverExtra : 0);
    // A field that no longer lies inside the record must not be vouched for:
    // the driver would read it from the private part, or past the end.
    if (publicSize >= kDmFieldsOffset + 4) {
        std::uint32_t fields = ReadU32(fitted.data() + kDmFieldsOffset);
        for (const DmFieldBit& bit : kDmFieldBits)
            if (bit.end > publicSize)
                fields &= ~bit.bit;
        WriteU32(fitted.data() + kDmFieldsOffset, fields);
    }
    return fitted;
}

std::optional<OpenedDeviceInfo> ReadThroughDriver(const std::u16string& file, PrintServices& printServices,
                                                  DeviceInfoPlatform& platform, MessageBoxes& messages,
                                                  const std::u16string& wantedPrinter) {
    const std::optional<std::vector<std::u16string>> printers = printServices.EnumerateLocalPrinters();
    if (!printers)
        return std::nullopt;
    OpenDecision decision =
        DecideOpen(file, platform.ReadFile(file, kMaxDeviceInfoFileSize + 1), *printers, wantedPrinter);
    if (!decision.open) {
        messages.ShowMessage(decision.message, MessageIcon::Exclamation);
        return std::nullopt;
    }

    OpenedDeviceInfo& opened = *decision.open;
    opened.file = platform.FullPathOf(file);
    const std::optional<std::vector<std::uint8_t>> driverRecord = platform.DriverRecordOf(opened.printer);
    std::optional<std::vector<std::uint8_t>> merged;
    if (driverRecord && driverRecord->size() >= kMinDmSize) {
        const DriverRecordSizes driver{ReadU16(driverRecord->data() + kDmSizeOffset),
                                       ReadU16(driverRecord->data() + kDmDriverExtraOffset)};
        merged = platform.MergeThroughDriver(opened.printer, FitRecordToDriver(opened.record, driver));
    }
    if (!merged) {
        messages.ShowMessage(kDriverRefusedText + u" (" + opened.printer + u") :" + file, MessageIcon::Exclamation);
        return std::nullopt;
    }
    opened.record = std::move(*merged);
    return std::move(opened);
}

bool OpenDeviceInfoFile(const std::u16string& file, PrintServices& printServices, DeviceInfoPlatform& platform,
                        OpenedFileDialogHost& dialogs, MessageBoxes& messages) {
    const std::optional<OpenedDeviceInfo> opened = ReadThroughDriver(file, printServices, platform, messages);
    if (!opened)
        return false;
    if (dialogs.RunSetupDialogWith(*opened))
        return true;
    messages.ShowMessage(kDialogFailedText + u" (" + opened->printer + u") :" + file, MessageIcon::Exclamation);
    return false;
}

}  // namespace ikw
