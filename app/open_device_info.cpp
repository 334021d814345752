#include "app/open_device_info.h"

#include <algorithm>

#include "devinfo/ascii_text.h"
#include "devinfo/device_info_format.h"
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
const std::u16string kSettingsResetText = u"some settings in this file were reset";
const std::u16string kPrivateResetText =
    u"\nThe printer's own settings in this file were made by another version of its driver, or for another "
    u"printer, and were reset to the driver's defaults.";
const std::u16string kNoFieldListText =
    u"\nThe file's settings record ends before the list of the settings it holds, so none of them could be used.";
const std::u16string kFieldsDroppedText = u"\nThis driver's settings have no room for, or the file did not hold: ";
const std::u16string kFieldsKeptText = u"\nKept: ";
const std::u16string kNothingKeptText = u"\nNo setting of the file was kept.";
const std::u16string kSavingAfterResetText =
    u"\nSaving writes the settings the dialog shows; saving over this file replaces what was reset.";

std::u16string FileProblem(const std::u16string& reason, const std::u16string& file) {
    return kNotDeviceInfoText + u" (" + reason + u") :" + file;
}

// The settings a dmFields mask vouches for, as a user knows them, in record
// order; the rarer ones by their Win32 names.
std::u16string SettingNames(std::uint32_t fields) {
    std::u16string names;
    for (const DmFieldBit& bit : kDmFieldBits) {
        if ((fields & bit.bit) == 0)
            continue;
        std::string name = bit.name;
        for (const DmShortField& field : kDmShortFields)
            if (field.bit == bit.bit)
                name = field.label;
        if (bit.bit == kDmFormNameBit)
            name = "paper name";
        names += (names.empty() ? u"" : u", ") + WidenAscii(name);
    }
    return names;
}

}  // namespace

std::optional<std::u16string> FindInstalledPrinter(const std::u16string& printer,
                                                   const std::vector<std::u16string>& installed,
                                                   const PrinterNameMatch& names) {
    const auto match = std::find_if(installed.begin(), installed.end(),
                                    [&](const std::u16string& name) { return names.IsSamePrinterName(name, printer); });
    if (match == installed.end())
        return std::nullopt;
    return *match;
}

OpenDecision DecideOpen(const std::u16string& file, const std::optional<std::vector<std::uint8_t>>& contents,
                        const std::vector<std::u16string>& installed, const PrinterNameMatch& names,
                        const std::u16string& wantedPrinter) {
    if (!contents)
        return {std::nullopt, kOpenErrorText + file};
    if (contents->size() > kMaxDeviceInfoFileSize)
        return {std::nullopt, FileProblem(kFileTooLongReason, file)};
    const DecodeResult decoded = DecodeDeviceInfo(contents->data(), contents->size());
    if (!decoded.info)
        return {std::nullopt, FileProblem(WidenAscii(decoded.error->message), file)};

    const std::u16string named = wantedPrinter.empty() ? PrinterNamedBy(*decoded.info) : wantedPrinter;
    if (named.empty())
        return {std::nullopt, FileProblem(kNoPrinterReason, file)};
    const std::optional<std::u16string> printer = FindInstalledPrinter(named, installed, names);
    if (!printer)
        return {std::nullopt, kNotInstalledText + u" (" + named + u") :" + file};

    const auto recordStart = contents->begin() + kDeviceInfoHeaderSize;
    return {OpenedDeviceInfo{file, *printer, {recordStart, recordStart + decoded.info->devModeSize}}, u""};
}

std::u16string FittingLossMessage(const FittedRecord& fitted, const std::u16string& printer,
                                  const std::u16string& file) {
    if (!fitted.privateReset && !fitted.noFieldList && fitted.fieldsDropped == 0)
        return {};
    std::u16string text = kSettingsResetText + u" (" + printer + u") :" + file;
    if (fitted.privateReset)
        text += kPrivateResetText;
    if (fitted.noFieldList)
        text += kNoFieldListText;
    if (fitted.fieldsDropped != 0)
        text += kFieldsDroppedText + SettingNames(fitted.fieldsDropped) + u".";
    text += fitted.fieldsKept != 0 ? kFieldsKeptText + SettingNames(fitted.fieldsKept) + u"." : kNothingKeptText;
    return text + kSavingAfterResetText;
}

std::optional<OpenedDeviceInfo> ReadThroughDriver(const std::u16string& file, PrintServices& printServices,
                                                  DeviceInfoPlatform& platform, MessageBoxes& messages,
                                                  const std::u16string& wantedPrinter) {
    const std::optional<std::vector<std::u16string>> printers = printServices.EnumerateInstalledPrinters();
    if (!printers)
        return std::nullopt;
    OpenDecision decision =
        DecideOpen(file, platform.ReadFile(file, kMaxDeviceInfoFileSize + 1), *printers, printServices, wantedPrinter);
    if (!decision.open) {
        messages.ShowMessage(decision.message, MessageIcon::Exclamation);
        return std::nullopt;
    }

    OpenedDeviceInfo& opened = *decision.open;
    opened.file = platform.FullPathOf(file);
    const std::optional<std::vector<std::uint8_t>> driverRecord = platform.DriverRecordOf(opened.printer);
    std::optional<std::vector<std::uint8_t>> merged;
    std::u16string loss;
    if (driverRecord && driverRecord->size() >= kMinDmSize) {
        const FittedRecord fitted = FitRecordToDriver(opened.record, *driverRecord, printServices);
        merged = platform.MergeThroughDriver(opened.printer, fitted.record);
        loss = FittingLossMessage(fitted, opened.printer, file);
    }
    if (!merged) {
        messages.ShowMessage(kDriverRefusedText + u" (" + opened.printer + u") :" + file, MessageIcon::Exclamation);
        return std::nullopt;
    }
    opened.record = std::move(*merged);
    // Said before the dialog shows the settings, so a save over the file is
    // never the first the user hears of what the file lost.
    if (!loss.empty())
        messages.ShowMessage(loss, MessageIcon::Exclamation);
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
