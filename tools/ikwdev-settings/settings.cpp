#include "tools/ikwdev-settings/settings.h"

#include <algorithm>

#include "devinfo/ascii_text.h"
#include "devinfo/device_info_format.h"
#include "devinfo/file_name_suggestion.h"
#include "tools/ikwdev-inspect/command_line.h"
#include "devinfo/message_texts.h"
#include "tools/ikwdev-inspect/diff.h"
#include "tools/ikwdev-inspect/text_format.h"

namespace ikw::settings {

namespace {

using Bytes = std::vector<std::uint8_t>;
using inspect::Difference;
using inspect::QuoteForJson;
using inspect::QuoteForPerson;
using inspect::ShowName;
using inspect::ToUtf8;

const std::string kProgram = "ikwdev-settings: ";
const std::u16string kNoSettingsText = u"the printer's driver gave no settings";
const std::u16string kUnsavableText = u"the printer's driver gave settings that cannot be saved";
const std::u16string kNoListText = u"the printer list could not be read";
const std::u16string kFileChangedText = u"the file changed while it was read";
const std::u16string kAccessDeniedText =
    u"setting every user's defaults needs the right to manage the printer (an administrator's); nothing was changed";
const std::u16string kSetFailedText = u"the spooler refused the settings; nothing was changed";
const std::u16string kNoFolderText = u"the folder cannot be made";
const std::u16string kNotInstalledText = u"printer not installed";
const std::u16string kPathTooLongText = u"path too long (259 characters at most) :";

// The core reports through message boxes; here each becomes a line of text,
// in English whatever the interface language, like the rest of the output.
class CollectedMessages : public MessageBoxes {
public:
    BuiltInEnglish strings;
    void ShowMessage(const std::u16string& text, MessageIcon) override { texts.push_back(text); }
    std::u16string Joined() const {
        std::u16string joined;
        for (const std::u16string& text : texts)
            joined += (joined.empty() ? u"" : u"\n") + text;
        return joined;
    }
    std::vector<std::u16string> texts;
};

struct Options {
    enum class Command { Capture, Apply, Help } command = Command::Help;
    bool json = false;
    bool all = false;
    bool dryRun = false;
    bool allUsers = false;
    std::optional<std::u16string> printer;
    std::vector<std::u16string> operands;
};

std::optional<Options> Parse(const std::vector<std::u16string>& args, std::string& error) {
    Options options;
    if (args.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::u16string& command = args[0];
    if (command == u"--help" || command == u"-h" || command == u"help")
        return options;
    if (command == u"capture")
        options.command = Options::Command::Capture;
    else if (command == u"apply")
        options.command = Options::Command::Apply;
    else {
        error = "unknown command " + ShowName(command);
        return std::nullopt;
    }
    const bool apply = options.command == Options::Command::Apply;
    std::vector<inspect::OptionRule> known = {
        {u"--help", inspect::OptionRule::Final}, {u"-h", inspect::OptionRule::Final}, {u"--json"}};
    if (apply)
        known.insert(known.end(), {{u"--dry-run"}, {u"--all-users"}, {u"--printer", inspect::OptionRule::WithValue}});
    else
        known.push_back({u"--all"});
    const inspect::ParsedCommandLine line = inspect::ParseCommandLine(args, 1, known);
    if (line.problem) {
        error = line.problem == inspect::ParsedCommandLine::Problem::MissingValue
                    ? "--printer needs a printer name"
                    : "unknown option " + ShowName(line.problemArgument) + " for " + ToUtf8(command);
        return std::nullopt;
    }
    if (line.Has(u"--help") || line.Has(u"-h")) {
        options.command = Options::Command::Help;
        return options;
    }
    options.json = line.Has(u"--json");
    options.all = line.Has(u"--all");
    options.dryRun = line.Has(u"--dry-run");
    options.allUsers = line.Has(u"--all-users");
    options.printer = line.Value(u"--printer");
    for (std::size_t index : line.operands)
        options.operands.push_back(args[index]);
    if (options.printer && options.printer->empty()) {
        error = "--printer needs a printer name";
        return std::nullopt;
    }
    const std::size_t wanted = apply || options.all ? 1 : 2;
    if (options.operands.size() != wanted) {
        error = apply         ? "apply takes one file"
                : options.all ? "capture --all takes one folder"
                              : "capture takes a printer and a file";
        return std::nullopt;
    }
    return options;
}

// The record as a device info file would hold it for that printer, and what
// the decoder reads in it; nullopt when the encoder refuses it.
struct Encoded {
    Bytes bytes;
    DeviceInfo info;
};

std::optional<Encoded> EncodeFor(const Bytes& record, const std::u16string& printer, const NameComparison& names) {
    EncodeResult encoded = EncodeDeviceInfo(record.data(), record.size(), &printer, names);
    if (encoded.failure)
        return std::nullopt;
    DecodeResult decoded = DecodeDeviceInfo(encoded.bytes.data(), encoded.bytes.size());
    if (!decoded.info)
        return std::nullopt;
    return Encoded{std::move(encoded.bytes), std::move(*decoded.info)};
}

// The printer's name is no setting that an apply changes: it goes to the
// printer it is applied to, whichever name the file holds.
std::vector<Difference> SettingsDiffering(const Encoded& a, const Encoded& b) {
    std::vector<Difference> list = inspect::CompareDeviceInfo(a.info, a.bytes, b.info, b.bytes);
    list.erase(
        std::remove_if(list.begin(), list.end(),
                       [](const Difference& d) { return d.field == "FullDeviceName" || d.field == "dmDeviceName"; }),
        list.end());
    return list;
}

std::string JsonString(const std::optional<std::u16string>& text) { return text ? QuoteForJson(*text) : "null"; }

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// ---------------------------------------------------------------------------
// capture

struct CaptureResult {
    std::u16string printer;
    std::u16string file;
    std::optional<std::u16string> problem;  // nothing was written
};

// Writes what a save from the untouched dialog writes: the record the driver
// gives this user (DocumentPropertiesW), and the printer's full name as the
// dialog's names record holds it, through the save's encoder and safe replace.
CaptureResult CaptureOne(Platform& platform, const std::u16string& printer, const std::u16string& file) {
    CaptureResult result{printer, file, std::nullopt};
    if (file.size() > kMaxSavePathLength) {
        result.problem = kPathTooLongText + file;
        return result;
    }
    const std::optional<Bytes> record = platform.devices.DriverRecordOf(printer);
    if (!record) {
        result.problem = kNoSettingsText + u" (" + printer + u")";
        return result;
    }
    const EncodeResult encoded = EncodeDeviceInfo(record->data(), record->size(), &printer, platform.spooler);
    if (encoded.failure) {
        result.problem = kUnsavableText + u" (" + printer + u")";
        return result;
    }
    CollectedMessages messages;
    if (!WriteReplacing(platform.files, messages, messages.strings, file, encoded.bytes))
        result.problem = messages.Joined();
    return result;
}

std::string CaptureJson(const CaptureResult& r) {
    return "{\"printer\":" + QuoteForJson(r.printer) + ",\"file\":" + QuoteForJson(r.file) +
           ",\"written\":" + (r.problem ? "false" : "true") + ",\"problem\":" + JsonString(r.problem) + "}";
}

std::string CaptureLine(const CaptureResult& r) {
    const std::string what = QuoteForPerson(r.printer) + " -> " + ShowName(r.file);
    return (r.problem ? "not written: " + what + ": " + ShowName(*r.problem) : "written: " + what) + "\n";
}

ExitStatus Finish(Platform& platform, const std::string& output, bool succeeded) {
    if (const auto failure = platform.console.out(output)) {
        platform.console.err(kProgram + "cannot write the output: " + *failure + "\n");
        return ExitStatus::OutputFailed;
    }
    return succeeded ? ExitStatus::Done : ExitStatus::SomeFailed;
}

void Complain(Platform& platform, const std::u16string& problem) {
    platform.console.err(kProgram + ToUtf8(problem) + "\n");
}

ExitStatus Capture(const Options& options, Platform& platform) {
    // Every printer the dialog can show: local printers and connections.
    const std::optional<std::vector<std::u16string>> printers = platform.spooler.EnumerateInstalledPrinters();
    if (!printers) {
        const std::u16string problem = kNoListText + u" (" + platform.spooler.WhyListFailed() + u")";
        Complain(platform, problem);
        return Finish(platform, options.json ? "{\"problem\":" + QuoteForJson(problem) + "}\n" : "", false);
    }
    if (!options.all) {
        CaptureResult result;
        const std::u16string& named = options.operands[0];
        const std::u16string file = platform.devices.FullPathOf(options.operands[1]);
        if (const std::optional<std::u16string> printer = FindInstalledPrinter(named, *printers, platform.spooler))
            result = CaptureOne(platform, *printer, file);
        else
            result = {named, file, kNotInstalledText + u" (" + named + u")"};
        if (result.problem)
            Complain(platform, *result.problem);
        return Finish(platform, options.json ? CaptureJson(result) + "\n" : CaptureLine(result), !result.problem);
    }

    std::u16string folder = platform.devices.FullPathOf(options.operands[0]);
    if (!platform.defaults.MakeFolder(folder)) {
        const std::u16string problem = kNoFolderText + u" :" + folder;
        Complain(platform, problem);
        return Finish(platform, options.json ? "{\"problem\":" + QuoteForJson(problem) + "}\n" : "", false);
    }
    if (folder.back() != u'\\' && folder.back() != u'/')
        folder += u'\\';
    const std::vector<std::u16string> names = CaptureFileNames(*printers, platform.spooler);
    std::vector<CaptureResult> results;
    std::size_t written = 0;
    for (std::size_t i = 0; i < printers->size(); ++i) {
        results.push_back(CaptureOne(platform, (*printers)[i], folder + names[i]));
        if (results.back().problem)
            Complain(platform, *results.back().problem);
        else
            ++written;
    }
    std::string out;
    if (options.json) {
        out = "{\"folder\":" + QuoteForJson(folder) + ",\"written\":" + std::to_string(written) +
              ",\"failed\":" + std::to_string(results.size() - written) + ",\"printers\":[";
        for (std::size_t i = 0; i < results.size(); ++i)
            out += (i ? "," : "") + CaptureJson(results[i]);
        out += "]}\n";
    } else {
        for (const CaptureResult& result : results)
            out += CaptureLine(result);
        out += std::to_string(written) + " of " + Plural(results.size(), "printer", "printers") + " captured to " +
               ShowName(folder) + "\n";
    }
    return Finish(platform, out, written == results.size());
}

// ---------------------------------------------------------------------------
// apply

// Passes everything on, and keeps the printer's record as the driver gave it
// before the merge: Wine's driver takes a merged record as the process's
// current settings, so a later DocumentPropertiesW would give the file's.
class RecordBeforeMerge : public DeviceInfoPlatform {
public:
    explicit RecordBeforeMerge(DeviceInfoPlatform& platform) : m_platform(platform) {}
    std::u16string FullPathOf(const std::u16string& path) override { return m_platform.FullPathOf(path); }
    std::optional<Bytes> ReadFile(const std::u16string& path, std::size_t maxBytes) override {
        return m_platform.ReadFile(path, maxBytes);
    }
    std::optional<Bytes> DriverRecordOf(const std::u16string& printer) override {
        if (!m_merged)
            before = m_platform.DriverRecordOf(printer);
        return before;
    }
    std::optional<Bytes> MergeThroughDriver(const std::u16string& printer, const Bytes& record) override {
        m_merged = true;
        return m_platform.MergeThroughDriver(printer, record);
    }
    std::optional<Bytes> before;

private:
    DeviceInfoPlatform& m_platform;
    bool m_merged = false;
};

struct ApplyReport {
    std::u16string file;
    std::optional<std::u16string> printer;
    std::optional<std::vector<Difference>> changes;  // dry run: the printer's settings now -> the file's
    std::vector<Difference> kept;                    // the file's settings -> what the driver made of them
    std::vector<std::u16string> notes;               // what the open's checks said about the file
    std::optional<std::u16string> problem;
    bool applied = false;
};

ApplyReport ApplyFile(const Options& options, Platform& platform) {
    ApplyReport report;
    report.file = options.operands[0];
    CollectedMessages messages;
    RecordBeforeMerge devices(platform.devices);
    // The same lookup, checks and driver merge as opening the file in the
    // dialog: what the dialog would start from is what becomes the defaults.
    const std::optional<OpenedDeviceInfo> opened = ReadThroughDriver(report.file, platform.spooler, devices, messages,
                                                                     messages.strings, options.printer.value_or(u""));
    if (!opened) {
        report.problem = messages.texts.empty() ? kNoListText : messages.Joined();
        return report;
    }
    report.notes = messages.texts;
    report.printer = opened->printer;

    const std::optional<Bytes> contents = platform.devices.ReadFile(report.file, kMaxDeviceInfoFileSize + 1);
    const DecodeResult decoded =
        contents ? DecodeDeviceInfo(contents->data(), contents->size()) : DecodeResult{std::nullopt, std::nullopt};
    const std::optional<Encoded> merged = EncodeFor(opened->record, opened->printer, platform.spooler);
    if (!decoded.info || !merged) {
        report.problem = (merged ? kFileChangedText : kUnsavableText) + u" :" + report.file;
        return report;
    }
    const Encoded file{*contents, *decoded.info};
    report.kept = SettingsDiffering(file, *merged);

    if (options.dryRun) {
        const std::optional<Encoded> now =
            devices.before ? EncodeFor(*devices.before, opened->printer, platform.spooler) : std::nullopt;
        if (!now)
            report.problem = kNoSettingsText + u" (" + opened->printer + u")";
        else
            report.changes = SettingsDiffering(*now, file);
        return report;
    }

    const DefaultsScope scope = options.allUsers ? DefaultsScope::AllUsers : DefaultsScope::ThisUser;
    switch (platform.defaults.SetDefaults(opened->printer, opened->record, scope)) {
    case SetOutcome::Set:
        report.applied = true;
        break;
    case SetOutcome::AccessDenied:
        report.problem = kAccessDeniedText + u" (" + opened->printer + u")";
        break;
    case SetOutcome::Failed:
        report.problem = kSetFailedText + u" (" + opened->printer + u")";
        break;
    }
    return report;
}

std::string ApplyJson(const Options& options, const ApplyReport& r) {
    std::string notes = "[";
    for (std::size_t i = 0; i < r.notes.size(); ++i)
        notes += (i ? "," : "") + QuoteForJson(r.notes[i]);
    notes += "]";
    return "{\"file\":" + QuoteForJson(r.file) + ",\"printer\":" + JsonString(r.printer) + ",\"scope\":\"" +
           (options.allUsers ? "all-users" : "this-user") + "\",\"dryRun\":" + (options.dryRun ? "true" : "false") +
           ",\"applied\":" + (r.applied ? "true" : "false") +
           ",\"changes\":" + (r.changes ? inspect::FormatJsonDifferences(*r.changes) : "null") +
           ",\"notKept\":" + inspect::FormatJsonDifferences(r.kept) + ",\"notes\":" + notes +
           ",\"problem\":" + JsonString(r.problem) + "}\n";
}

std::string ApplyText(const Options& options, const ApplyReport& r) {
    if (r.problem)
        return "";
    const std::string printer = QuoteForPerson(*r.printer);
    const std::string scope = options.allUsers ? "every user's defaults" : "this user's defaults";
    std::string out;
    if (r.changes) {
        out = r.changes->empty()
                  ? "dry run: " + printer + " already holds the settings of " + ShowName(r.file) + " (" + scope + ")\n"
                  : "dry run: " + ShowName(r.file) + " would change " +
                        Plural(r.changes->size(), "setting", "settings") + " of " + printer + " (" + scope + "):\n" +
                        inspect::FormatDifferenceLines(*r.changes);
    } else {
        out = "applied: " + ShowName(r.file) + " -> " + printer + " (" + scope + ")\n";
    }
    if (!r.kept.empty())
        out += "the printer's driver " + std::string(r.changes ? "would keep " : "kept ") +
               Plural(r.kept.size(), "setting", "settings") + " otherwise (file -> printer):\n" +
               inspect::FormatDifferenceLines(r.kept);
    return out;
}

ExitStatus Apply(const Options& options, Platform& platform) {
    const ApplyReport report = ApplyFile(options, platform);
    for (const std::u16string& note : report.notes)
        Complain(platform, note);
    if (report.problem)
        Complain(platform, *report.problem);
    return Finish(platform, options.json ? ApplyJson(options, report) : ApplyText(options, report), !report.problem);
}

// ---------------------------------------------------------------------------
// file names

// What a folder takes as a file name: no character Windows refuses, no end
// that it would drop (dots, spaces), no device name once ".dev" is added.
std::u16string UsableFileName(std::u16string name) {
    for (char16_t& unit : name)
        if (unit < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(unit) != std::u16string_view::npos)
            unit = u'_';
    while (!name.empty() && (name.back() == u'.' || name.back() == u' '))
        name.pop_back();
    if (name.empty())
        return u"printer";
    return IsDeviceName(name + u".dev") ? u"_" + name : name;
}

}  // namespace

std::vector<std::u16string> CaptureFileNames(const std::vector<std::u16string>& printers,
                                             const PrinterNameMatch& sameName) {
    std::vector<std::u16string> names;
    const auto taken = [&](const std::u16string& name) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::u16string& earlier) { return sameName.IsSamePrinterName(earlier, name); });
    };
    for (const std::u16string& printer : printers) {
        const std::u16string base = UsableFileName(SuggestFileName(printer));
        std::u16string name = base + u".dev";
        for (std::size_t n = 2; taken(name); ++n)
            name = base + u" (" + WidenAscii(std::to_string(n)) + u").dev";
        names.push_back(name);
    }
    return names;
}

std::string Usage() {
    return "usage: ikwdev-settings capture [--json] PRINTER FILE.dev\n"
           "       ikwdev-settings capture --all [--json] FOLDER\n"
           "       ikwdev-settings apply [--printer NAME] [--dry-run] [--all-users] [--json] FILE.dev\n"
           "\n"
           "capture writes the printer's current settings for this user to a device info file,\n"
           "  byte for byte as a save from the dialog would; an existing file is replaced only\n"
           "  once the new one is whole. --all writes one file for every printer into FOLDER\n"
           "  (made when missing), named as the dialog's save suggests, and numbered where two\n"
           "  printers would get one name.\n"
           "apply makes the file's settings this user's default settings for the printer the file\n"
           "  names (or --printer NAME), after the same checks and driver merge as opening the file\n"
           "  in IKWDev; what the driver does not keep is listed. The system default printer is\n"
           "  never changed.\n"
           "  --dry-run    show what would change (as ikwdev-inspect --diff: the printer's\n"
           "               settings -> the file's) and change nothing\n"
           "  --all-users  set the printer's defaults for every user; needs the right to\n"
           "               manage the printer, and changes nothing without it\n"
           "--json prints one JSON object instead of text.\n"
           "\n"
           "Round trip: capture on a reference machine, compare with ikwdev-inspect --diff, apply:\n"
           "  ikwdev-settings capture --all settings\n"
           "  ikwdev-inspect --diff settings\\Office.dev Office-new.dev\n"
           "  ikwdev-settings apply --dry-run settings\\Office.dev\n"
           "  ikwdev-settings apply settings\\Office.dev\n"
           "\n"
           "Exit status: 0 when everything asked for was done, 1 when some of it was not\n"
           "(each failure says why on standard error), 2 on wrong usage or when the output\n"
           "cannot be written.\n";
}

ExitStatus Run(const std::vector<std::u16string>& args, Platform& platform) {
    std::string error;
    const std::optional<Options> options = Parse(args, error);
    if (!options) {
        platform.console.err(kProgram + error + "\n" + Usage());
        return ExitStatus::WrongUsage;
    }
    switch (options->command) {
    case Options::Command::Help:
        return Finish(platform, Usage(), true);
    case Options::Command::Capture:
        return Capture(*options, platform);
    case Options::Command::Apply:
        return Apply(*options, platform);
    }
    return ExitStatus::WrongUsage;
}

}  // namespace ikw::settings
