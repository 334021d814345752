#include "app/open_device_info.h"

#include <algorithm>

#include "devinfo/ascii_text.h"
#include "devinfo/device_info_format.h"
#include "devinfo/message_texts.h"
#include "devinfo/record_settings.h"
#include "devinfo/save_device_settings.h"

namespace ikw {

namespace {

// The text with one more line after it, when there is one.
std::u16string WithLine(const std::u16string& text, const std::u16string& line) {
    return line.empty() ? text : text + u"\n" + line;
}

std::u16string FileProblem(StringTable& strings, const std::u16string& reason, const std::u16string& file) {
    return ComposeMessage(strings, IDS_NOT_DEVICE_INFO, {reason, file});
}

// The settings a dmFields mask vouches for, as a user knows them, in the
// order of their bits.
std::u16string SettingNames(StringTable& strings, std::uint32_t fields) {
    const std::u16string separator = ComposeMessage(strings, IDS_LIST_SEPARATOR);
    std::u16string names;
    for (const RecordSetting& setting : kRecordSettings)
        if ((fields & setting.bit) != 0)
            names += (names.empty() ? u"" : separator) + ComposeMessage(strings, setting.nameId);
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
                        StringTable& strings, const std::u16string& wantedPrinter) {
    if (!contents)
        return {std::nullopt, kOpenErrorText + file};
    if (contents->size() > kMaxDeviceInfoFileSize)
        return {std::nullopt, FileProblem(strings, ComposeMessage(strings, IDS_REASON_FILE_TOO_LONG), file)};
    const DecodeResult decoded = DecodeDeviceInfo(contents->data(), contents->size());
    // The decoder's reason is English under every interface language: it is
    // technical detail after the plain sentence, the text ikwdev-inspect
    // prints for the same file.
    if (!decoded.info)
        return {std::nullopt, FileProblem(strings, WidenAscii(decoded.error->message), file)};

    const std::u16string named = wantedPrinter.empty() ? PrinterNamedBy(*decoded.info) : wantedPrinter;
    if (named.empty())
        return {std::nullopt, FileProblem(strings, ComposeMessage(strings, IDS_REASON_NO_PRINTER), file)};
    const std::optional<std::u16string> printer = FindInstalledPrinter(named, installed, names);
    if (!printer)
        return {std::nullopt, ComposeMessage(strings, IDS_PRINTER_NOT_INSTALLED, {named, file})};

    const auto recordStart = contents->begin() + kDeviceInfoHeaderSize;
    return {OpenedDeviceInfo{file, *printer, {recordStart, recordStart + decoded.info->devModeSize}}, u""};
}

std::u16string FittingLossMessage(const FittedRecord& fitted, const std::u16string& printer, const std::u16string& file,
                                  StringTable& strings) {
    if (!fitted.privateReset && !fitted.noFieldList && fitted.fieldsDropped == 0)
        return {};
    // One line for each thing to tell, each line a sentence of its own.
    std::u16string text = ComposeMessage(strings, IDS_SETTINGS_RESET, {printer, file});
    const auto addLine = [&](const std::u16string& line) { text += u"\n" + line; };
    if (fitted.privateReset)
        addLine(ComposeMessage(strings, IDS_PRIVATE_RESET));
    if (fitted.noFieldList)
        addLine(ComposeMessage(strings, IDS_NO_FIELD_LIST));
    if (fitted.fieldsDropped != 0)
        addLine(ComposeMessage(strings, IDS_FIELDS_DROPPED, {SettingNames(strings, fitted.fieldsDropped)}));
    addLine(fitted.fieldsKept != 0
                ? ComposeMessage(strings, IDS_FIELDS_KEPT, {SettingNames(strings, fitted.fieldsKept)})
                : ComposeMessage(strings, IDS_NOTHING_KEPT));
    addLine(ComposeMessage(strings, IDS_SAVING_AFTER_RESET));
    return text;
}

std::optional<OpenedDeviceInfo> ReadThroughDriver(const std::u16string& file, PrintServices& printServices,
                                                  DeviceInfoPlatform& platform, MessageBoxes& messages,
                                                  StringTable& strings, const std::u16string& wantedPrinter,
                                                  const std::u16string& whatFollows) {
    const std::optional<std::vector<std::u16string>> printers = printServices.EnumerateInstalledPrinters();
    // Without the list no printer can be found: saying the file's printer is
    // not installed would send the user to install one that is there.
    if (!printers) {
        messages.ShowMessage(ComposeMessage(strings, IDS_PRINTER_LIST_FAILED, {printServices.WhyListFailed(), file}),
                             MessageIcon::Exclamation);
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint8_t>> contents = platform.ReadFile(file, kMaxDeviceInfoFileSize + 1);
    OpenDecision decision = DecideOpen(file, contents, *printers, printServices, strings, wantedPrinter);
    if (!decision.open) {
        // "open error :" and the path are the whole message in every
        // language, so nothing is added to it.
        messages.ShowMessage(contents ? WithLine(decision.message, whatFollows) : decision.message,
                             MessageIcon::Exclamation);
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
        loss = FittingLossMessage(fitted, opened.printer, file, strings);
    }
    if (!merged) {
        messages.ShowMessage(WithLine(ComposeMessage(strings, IDS_DRIVER_REFUSED, {opened.printer, file}), whatFollows),
                             MessageIcon::Exclamation);
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
                        OpenedFileDialogHost& dialogs, MessageBoxes& messages, StringTable& strings) {
    // After a refused file the usual start follows, which opens the dialog
    // on the default printer; without one, or on the printer it never opens
    // on by choice, it picks another, and then the message promises nothing.
    const std::u16string defaultPrinter = printServices.QueryDefaultPrinter();
    const bool opensOnDefault = !defaultPrinter.empty() && defaultPrinter != kExcludedPrinter;
    const std::u16string whatFollows = opensOnDefault ? ComposeMessage(strings, IDS_OPENS_ON_DEFAULT) : u"";
    const std::optional<OpenedDeviceInfo> opened =
        ReadThroughDriver(file, printServices, platform, messages, strings, u"", whatFollows);
    if (!opened)
        return false;
    if (dialogs.RunSetupDialogWith(*opened))
        return true;
    messages.ShowMessage(WithLine(ComposeMessage(strings, IDS_DIALOG_FAILED, {opened->printer, file}), whatFollows),
                         MessageIcon::Exclamation);
    return false;
}

}  // namespace ikw
