#include "app/open_device_info.h"

#include <algorithm>

#include "devinfo/ascii_text.h"
#include "devinfo/device_info_format.h"
#include "devinfo/message_texts.h"
#include "devinfo/save_device_settings.h"

namespace ikw {

namespace {

// Every setting of the record by its dmFields bit, named as a user knows it
// in the interface language.
constexpr struct {
    std::uint32_t bit;
    unsigned id;
} kSettingNameIds[] = {
    {0x00000001, IDS_SETTING_ORIENTATION},     {0x00000002, IDS_SETTING_PAPER},
    {0x00000004, IDS_SETTING_PAPER_LENGTH},    {0x00000008, IDS_SETTING_PAPER_WIDTH},
    {0x00000010, IDS_SETTING_SCALE},           {0x00000020, IDS_SETTING_POSITION},
    {0x00000040, IDS_SETTING_PAGES_PER_SHEET}, {0x00000080, IDS_SETTING_SCREEN_ORIENTATION},
    {0x00000100, IDS_SETTING_COPIES},          {0x00000200, IDS_SETTING_SOURCE},
    {0x00000400, IDS_SETTING_RESOLUTION},      {0x00000800, IDS_SETTING_COLOR},
    {0x00001000, IDS_SETTING_DUPLEX},          {0x00002000, IDS_SETTING_Y_RESOLUTION},
    {0x00004000, IDS_SETTING_TRUETYPE},        {0x00008000, IDS_SETTING_COLLATION},
    {kDmFormNameBit, IDS_SETTING_FORM_NAME},   {0x00020000, IDS_SETTING_SCREEN_DPI},
    {0x00040000, IDS_SETTING_COLOR_DEPTH},     {0x00080000, IDS_SETTING_SCREEN_WIDTH},
    {0x00100000, IDS_SETTING_SCREEN_HEIGHT},   {0x00200000, IDS_SETTING_SCREEN_MODE},
    {0x00400000, IDS_SETTING_REFRESH_RATE},    {0x00800000, IDS_SETTING_COLOR_MANAGEMENT},
    {0x01000000, IDS_SETTING_COLOR_RENDERING}, {0x02000000, IDS_SETTING_PAPER_TYPE},
    {0x04000000, IDS_SETTING_HALFTONING},      {0x08000000, IDS_SETTING_PANNING_WIDTH},
    {0x10000000, IDS_SETTING_PANNING_HEIGHT},  {0x20000000, IDS_SETTING_SCREEN_SCALING},
};

// The text with one more line after it, when there is one.
std::u16string WithLine(const std::u16string& text, const std::u16string& line) {
    return line.empty() ? text : text + u"\n" + line;
}

std::u16string FileProblem(StringTable& strings, const std::u16string& reason, const std::u16string& file) {
    return ComposeMessage(strings, IDS_NOT_DEVICE_INFO, {reason, file});
}

// The settings a dmFields mask vouches for, as a user knows them, in record
// order.
std::u16string SettingNames(StringTable& strings, std::uint32_t fields) {
    const std::u16string separator = ComposeMessage(strings, IDS_LIST_SEPARATOR);
    std::u16string names;
    for (const DmFieldBit& bit : kDmFieldBits) {
        if ((fields & bit.bit) == 0)
            continue;
        // A bit without a plain name keeps its Win32 name (DM_...).
        std::u16string name = WidenAscii(bit.name);
        for (const auto& known : kSettingNameIds)
            if (known.bit == bit.bit)
                name = ComposeMessage(strings, known.id);
        names += (names.empty() ? u"" : separator) + name;
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
