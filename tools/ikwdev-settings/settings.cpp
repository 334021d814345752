#include "tools/ikwdev-settings/settings.h"

#include <algorithm>

#include "devinfo/ascii_text.h"
#include "devinfo/device_info_format.h"
#include "devinfo/file_name_suggestion.h"
#include "devinfo/message_texts.h"
#include "res/resource.h"
#include "tools/console/command_line.h"
#include "tools/console/text.h"
#include "tools/ikwdev-inspect/diff.h"

namespace ikw::settings {

namespace {

using Bytes = std::vector<std::uint8_t>;
using console::QuoteForJson;
using console::QuoteForPerson;
using console::ShowName;
using console::ToUtf8;
using inspect::Difference;

const std::string kProgram = "ikwdev-settings: ";
const std::u16string kNoSettingsText = u"the printer's driver gave no settings";
const std::u16string kUnsavableText = u"the printer's driver gave settings that cannot be saved";
const std::u16string kNoListText = u"the printer list could not be read";
const std::u16string kAccessDeniedText =
    u"setting every user's defaults needs the right to manage the printer (an administrator's); nothing was changed";
const std::u16string kSetFailedText = u"the spooler refused the settings; nothing was changed";
const std::u16string kNotReadBackText =
    u"the settings were set, but the printer's defaults could not be read back to prove they took effect";
const std::u16string kNotTakenText = u"some settings did not take effect";
const std::u16string kNoDefaultsText = u"the printer's defaults could not be read";
const std::u16string kResetDeniedText =
    u"removing this user's printing preferences was refused for want of permission; nothing was changed";
const std::u16string kResetFailedText = u"the spooler refused to remove this user's printing preferences";
const std::u16string kResetNotTakenText =
    u"the spooler still holds this user's printing preferences after removing them";
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
    enum class Command { Capture, Apply, Check, Reset, Help } command = Command::Help;
    bool json = false;
    bool all = false;
    bool dryRun = false;
    bool allUsers = false;
    std::optional<std::u16string> printer;
    std::vector<std::u16string> operands;
};

using Command = Options::Command;

// The command the first argument names; nullopt after saying why in error.
std::optional<Command> CommandNamed(const std::u16string& word, std::string& error) {
    if (word == u"--help" || word == u"-h" || word == u"help")
        return Command::Help;
    static const std::array<std::pair<const char16_t*, Command>, 4> kCommands = {{{u"capture", Command::Capture},
                                                                                  {u"apply", Command::Apply},
                                                                                  {u"check", Command::Check},
                                                                                  {u"reset", Command::Reset}}};
    const auto found = std::find_if(kCommands.begin(), kCommands.end(), [&](const auto& c) { return word == c.first; });
    if (found == kCommands.end()) {
        error = "unknown command " + ShowName(word);
        return std::nullopt;
    }
    return found->second;
}

// The options each command takes.
std::vector<console::OptionRule> OptionsOf(Command command) {
    std::vector<console::OptionRule> known = {
        {u"--help", console::OptionRule::Final}, {u"-h", console::OptionRule::Final}, {u"--json"}};
    if (command == Command::Apply || command == Command::Check)
        known.insert(known.end(), {{u"--all-users"}, {u"--printer", console::OptionRule::WithValue}});
    if (command == Command::Apply)
        known.push_back({u"--dry-run"});
    if (command == Command::Capture)
        known.push_back({u"--all"});
    return known;
}

Options OptionsGiven(Command command, const console::ParsedCommandLine& line, const std::vector<std::u16string>& args) {
    Options options;
    options.command = command;
    options.json = line.Has(u"--json");
    options.all = line.Has(u"--all");
    options.dryRun = line.Has(u"--dry-run");
    options.allUsers = line.Has(u"--all-users");
    options.printer = line.Value(u"--printer");
    for (std::size_t index : line.operands)
        options.operands.push_back(args[index]);
    return options;
}

// What is wrong with options that each are known, or nullopt when nothing is.
std::optional<std::string> UsageProblem(const Options& options) {
    if (options.printer && options.printer->empty())
        return "--printer needs a printer name";
    const bool capturePair = options.command == Command::Capture && !options.all;
    if (options.operands.size() == (capturePair ? 2u : 1u))
        return std::nullopt;
    switch (options.command) {
    case Command::Apply:
        return "apply takes one file";
    case Command::Check:
        return "check takes one file";
    case Command::Reset:
        return "reset takes one printer";
    default:
        return options.all ? "capture --all takes one folder" : "capture takes a printer and a file";
    }
}

std::optional<Options> Parse(const std::vector<std::u16string>& args, std::string& error) {
    if (args.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::optional<Command> command = CommandNamed(args[0], error);
    if (!command || *command == Command::Help)
        return command ? std::optional<Options>(Options{}) : std::nullopt;
    const console::ParsedCommandLine line = console::ParseCommandLine(args, 1, OptionsOf(*command));
    if (line.problem) {
        error = line.problem == console::ParsedCommandLine::Problem::MissingValue
                    ? "--printer needs a printer name"
                    : "unknown option " + ShowName(line.problemArgument) + " for " + ToUtf8(args[0]);
        return std::nullopt;
    }
    if (line.Has(u"--help") || line.Has(u"-h"))
        return Options{};
    const Options options = OptionsGiven(*command, line, args);
    if (const std::optional<std::string> problem = UsageProblem(options)) {
        error = *problem;
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
    list.erase(std::remove_if(list.begin(), list.end(), inspect::NamesThePrinter), list.end());
    return list;
}

std::string JsonString(const std::optional<std::u16string>& text) { return text ? QuoteForJson(*text) : "null"; }

std::string Plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// ---------------------------------------------------------------------------
// which defaults

// Where the settings a new program of this user starts from come from.
enum class DefaultsSource {
    UserPreferences,  // level 9
    PrinterDefaults,  // level 8
    Driver,           // nothing stored: the driver's own defaults
};

// How the text and the JSON output name each.
struct SourceNames {
    const char* text;
    const char* json;
};

SourceNames NamesOf(DefaultsSource source) {
    switch (source) {
    case DefaultsSource::UserPreferences:
        return {"this user's printing preferences", "user-preferences"};
    case DefaultsSource::PrinterDefaults:
        return {"the printer's printing defaults, shared by every user", "printer-defaults"};
    case DefaultsSource::Driver:
        break;
    }
    return {"the driver's defaults; the printer stores none", "driver-defaults"};
}

std::string Describe(DefaultsSource source) { return NamesOf(source).text; }

std::string JsonName(DefaultsSource source) { return "\"" + std::string(NamesOf(source).json) + "\""; }

DefaultsSource SourceOf(DefaultsScope scope) {
    return scope == DefaultsScope::ThisUser ? DefaultsSource::UserPreferences : DefaultsSource::PrinterDefaults;
}

// The defaults one scope compares with: for this user, the printing
// preferences when the user has some, else the printer's printing defaults,
// as a new program of this user starts from; for every user, the printer's
// printing defaults. userPreferences says whether this user has preferences
// of their own, whichever scope is compared.
struct DefaultsInEffect {
    bool userPreferences = false;
    DefaultsSource source = DefaultsSource::Driver;
    Bytes record;
};

std::optional<DefaultsInEffect> ReadDefaultsInEffect(PrinterDefaults& defaults, const std::u16string& printer,
                                                     DefaultsScope scope, const std::optional<Bytes>& driverRecord) {
    const StoredDefaults user = defaults.ReadDefaults(printer, DefaultsScope::ThisUser);
    if (!user.readable)
        return std::nullopt;
    DefaultsInEffect effect;
    effect.userPreferences = user.record.has_value();
    if (scope == DefaultsScope::ThisUser && user.record) {
        effect.source = DefaultsSource::UserPreferences;
        effect.record = *user.record;
        return effect;
    }
    const StoredDefaults shared = defaults.ReadDefaults(printer, DefaultsScope::AllUsers);
    if (!shared.readable)
        return std::nullopt;
    if (shared.record) {
        effect.source = DefaultsSource::PrinterDefaults;
        effect.record = *shared.record;
    } else if (driverRecord) {
        effect.record = *driverRecord;
    } else {
        return std::nullopt;
    }
    return effect;
}

// ---------------------------------------------------------------------------
// capture

struct CaptureResult {
    std::u16string printer;
    std::u16string file;
    std::optional<std::u16string> problem;     // nothing was written
    std::optional<DefaultsInEffect> defaults;  // where the captured settings come from, when the spooler says
};

// Writes what a save from the untouched dialog writes: the record the driver
// gives this user (DocumentPropertiesW), and the printer's full name as the
// dialog's names record holds it, through the save's encoder and safe replace.
CaptureResult CaptureOne(Platform& platform, const std::u16string& printer, const std::u16string& file) {
    CaptureResult result{printer, file, std::nullopt, std::nullopt};
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
    else
        result.defaults = ReadDefaultsInEffect(platform.defaults, printer, DefaultsScope::ThisUser, record);
    return result;
}

std::string CaptureJson(const CaptureResult& r) {
    return "{\"printer\":" + QuoteForJson(r.printer) + ",\"file\":" + QuoteForJson(r.file) +
           ",\"written\":" + (r.problem ? "false" : "true") +
           ",\"userPreferences\":" + (r.defaults ? (r.defaults->userPreferences ? "true" : "false") : "null") +
           ",\"defaults\":" + (r.defaults ? JsonName(r.defaults->source) : "null") +
           ",\"problem\":" + JsonString(r.problem) + "}";
}

std::string CaptureLine(const CaptureResult& r) {
    const std::string what = QuoteForPerson(r.printer) + " -> " + ShowName(r.file);
    if (r.problem)
        return "not written: " + what + ": " + ShowName(*r.problem) + "\n";
    return "written: " + what + (r.defaults ? " (from " + Describe(r.defaults->source) + ")" : "") + "\n";
}

ExitStatus Finish(Platform& platform, const std::string& output, bool succeeded) {
    if (!console::WriteOut(platform.console, kProgram, output))
        return ExitStatus::OutputFailed;
    return succeeded ? ExitStatus::Done : ExitStatus::SomeFailed;
}

void Complain(Platform& platform, const std::u16string& problem) {
    platform.console.err(kProgram + ToUtf8(problem) + "\n");
}

// A capture that wrote nothing: the problem on standard error, and with
// --json as the one object.
ExitStatus CaptureFailed(const Options& options, Platform& platform, const std::u16string& problem) {
    Complain(platform, problem);
    return Finish(platform, options.json ? "{\"problem\":" + QuoteForJson(problem) + "}\n" : "", false);
}

// capture PRINTER FILE.dev
ExitStatus CaptureNamed(const Options& options, Platform& platform, const std::vector<std::u16string>& printers) {
    const std::u16string& named = options.operands[0];
    const std::u16string file = platform.devices.FullPathOf(options.operands[1]);
    const std::optional<std::u16string> printer = FindInstalledPrinter(named, printers, platform.spooler);
    const CaptureResult result =
        printer ? CaptureOne(platform, *printer, file)
                : CaptureResult{named, file, kNotInstalledText + u" (" + named + u")", std::nullopt};
    if (result.problem)
        Complain(platform, *result.problem);
    return Finish(platform, options.json ? CaptureJson(result) + "\n" : CaptureLine(result), !result.problem);
}

std::size_t CountWritten(const std::vector<CaptureResult>& results) {
    return static_cast<std::size_t>(
        std::count_if(results.begin(), results.end(), [](const CaptureResult& r) { return !r.problem; }));
}

std::string CaptureAllJson(const std::u16string& folder, const std::vector<CaptureResult>& results) {
    const std::size_t written = CountWritten(results);
    std::string out = "{\"folder\":" + QuoteForJson(folder) + ",\"written\":" + std::to_string(written) +
                      ",\"failed\":" + std::to_string(results.size() - written) + ",\"printers\":[";
    for (std::size_t i = 0; i < results.size(); ++i)
        out += (i ? "," : "") + CaptureJson(results[i]);
    return out + "]}\n";
}

std::string CaptureAllText(const std::u16string& folder, const std::vector<CaptureResult>& results) {
    std::string out;
    for (const CaptureResult& result : results)
        out += CaptureLine(result);
    return out + std::to_string(CountWritten(results)) + " of " + Plural(results.size(), "printer", "printers") +
           " captured to " + ShowName(folder) + "\n";
}

// capture --all FOLDER
ExitStatus CaptureAll(const Options& options, Platform& platform, const std::vector<std::u16string>& printers) {
    std::u16string folder = platform.devices.FullPathOf(options.operands[0]);
    if (!platform.defaults.MakeFolder(folder))
        return CaptureFailed(options, platform, kNoFolderText + u" :" + folder);
    if (folder.back() != u'\\' && folder.back() != u'/')
        folder += u'\\';
    const std::vector<std::u16string> names = CaptureFileNames(printers, platform.spooler);
    std::vector<CaptureResult> results;
    for (std::size_t i = 0; i < printers.size(); ++i) {
        results.push_back(CaptureOne(platform, printers[i], folder + names[i]));
        if (results.back().problem)
            Complain(platform, *results.back().problem);
    }
    return Finish(platform, options.json ? CaptureAllJson(folder, results) : CaptureAllText(folder, results),
                  CountWritten(results) == results.size());
}

ExitStatus Capture(const Options& options, Platform& platform) {
    // Every printer the dialog can show: local printers and connections.
    const std::optional<std::vector<std::u16string>> printers = platform.spooler.EnumerateInstalledPrinters();
    if (!printers)
        return CaptureFailed(options, platform, kNoListText + u" (" + platform.spooler.WhyListFailed() + u")");
    return options.all ? CaptureAll(options, platform, *printers) : CaptureNamed(options, platform, *printers);
}

// ---------------------------------------------------------------------------
// apply, apply --dry-run, check

// Passes everything on, and keeps what the open read: the file's bytes, so
// that they are read once and what is compared is what was opened, and the
// printer's record as the driver gave it before the merge: Wine's driver
// takes a merged record as the process's current settings, so a later
// DocumentPropertiesW would give the file's.
class WhatTheOpenRead : public DeviceInfoPlatform {
public:
    explicit WhatTheOpenRead(DeviceInfoPlatform& platform) : m_platform(platform) {}
    std::u16string FullPathOf(const std::u16string& path) override { return m_platform.FullPathOf(path); }
    std::optional<Bytes> ReadFile(const std::u16string& path, std::size_t maxBytes) override {
        contents = m_platform.ReadFile(path, maxBytes);
        return contents;
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
    std::optional<Bytes> contents;
    std::optional<Bytes> before;

private:
    DeviceInfoPlatform& m_platform;
    bool m_merged = false;
};

// The open's notes are written for the dialog ("check the settings before you
// save"); the tool tells what happens to the printer's defaults instead.
class ToolWords : public StringTable {
public:
    std::u16string Load(unsigned id) override {
        switch (id) {
        case IDS_SETTINGS_RESET:
            return u"Some settings of the file cannot be used with this printer's driver: the driver's defaults "
                   u"take their place in what is applied and compared.\nsettings reset to the driver's defaults "
                   u"(%1) :%2";
        case IDS_SAVING_AFTER_RESET:
            return u"Applying the file again does not bring them back.";
        default:
            return m_english.Load(id);
        }
    }

private:
    BuiltInEnglish m_english;
};

enum class Mode { Apply, DryRun, Check };

struct ApplyReport {
    std::u16string file;
    std::optional<std::u16string> printer;
    std::optional<DefaultsInEffect> before;          // what the printer held before
    std::optional<std::vector<Difference>> changes;  // dry run, check: the printer's settings -> the file's
    std::vector<Difference> kept;                    // the file's settings -> what the driver made of them
    std::vector<Difference> notTaken;                // apply: what was set -> what was read back
    std::vector<std::u16string> notes;               // what the open's checks said about the file
    std::optional<std::u16string> problem;
    bool applied = false;
};

// Sets the record and reads it back from where a new program reads it; the
// settings that read back otherwise did not take effect.
void SetAndReadBack(Platform& platform, const std::u16string& printer, const Bytes& record, const Encoded& merged,
                    DefaultsScope scope, ApplyReport& report) {
    switch (platform.defaults.SetDefaults(printer, record, scope)) {
    case SetOutcome::Set:
        break;
    case SetOutcome::AccessDenied:
        report.problem = kAccessDeniedText + u" (" + printer + u")";
        return;
    case SetOutcome::Failed:
        report.problem = kSetFailedText + u" (" + printer + u")";
        return;
    }
    const StoredDefaults stored = platform.defaults.ReadBack(printer, scope);
    const std::optional<Encoded> readBack =
        stored.record ? EncodeFor(*stored.record, printer, platform.spooler) : std::nullopt;
    if (!readBack) {
        report.problem = kNotReadBackText + u" (" + printer + u")";
        return;
    }
    report.notTaken = SettingsDiffering(merged, *readBack);
    if (!report.notTaken.empty()) {
        report.problem = kNotTakenText + u" (" + printer + u") :" + report.file;
        return;
    }
    report.applied = true;
}

// The file as the dialog would open it, on the printer apply sets.
struct OpenedFile {
    std::u16string printer;
    Bytes record;                       // the file's settings merged through the printer's driver
    Encoded asRead;                     // the file as it was read
    Encoded merged;                     // the merged record as a file would hold it
    std::optional<Bytes> driverRecord;  // the printer's record before the merge
};

// The same lookup, checks and driver merge as opening the file in the
// dialog: what the dialog would start from is what becomes the defaults.
// nullopt after putting the reason in the report.
std::optional<OpenedFile> OpenAsTheDialogWould(const Options& options, Platform& platform, ApplyReport& report) {
    CollectedMessages messages;
    ToolWords words;
    WhatTheOpenRead devices(platform.devices);
    const std::optional<OpenedDeviceInfo> opened =
        ReadThroughDriver(report.file, platform.spooler, devices, messages, words, options.printer.value_or(u""));
    if (!opened) {
        report.problem = messages.texts.empty() ? kNoListText : messages.Joined();
        return std::nullopt;
    }
    report.notes = messages.texts;
    report.printer = opened->printer;
    // An open only succeeds on bytes it read and decoded, so it is the
    // driver's merged record that can be refused here.
    const DecodeResult decoded = devices.contents ? DecodeDeviceInfo(devices.contents->data(), devices.contents->size())
                                                  : DecodeResult{std::nullopt, std::nullopt};
    const std::optional<Encoded> merged = EncodeFor(opened->record, opened->printer, platform.spooler);
    if (!decoded.info || !merged) {
        report.problem = kUnsavableText + u" :" + report.file;
        return std::nullopt;
    }
    return OpenedFile{opened->printer, opened->record, Encoded{*devices.contents, *decoded.info}, *merged,
                      devices.before};
}

// What the printer holds now for the scope, as a file would hold it; nullopt
// after putting the reason in the report.
std::optional<Encoded> ReadPrinterNow(Platform& platform, const OpenedFile& file, DefaultsScope scope,
                                      ApplyReport& report) {
    report.before = ReadDefaultsInEffect(platform.defaults, file.printer, scope, file.driverRecord);
    std::optional<Encoded> now =
        report.before ? EncodeFor(report.before->record, file.printer, platform.spooler) : std::nullopt;
    if (!now)
        report.problem = kNoDefaultsText + u" (" + file.printer + u")";
    return now;
}

ApplyReport ApplyFile(const Options& options, Mode mode, Platform& platform) {
    ApplyReport report;
    report.file = options.operands[0];
    const std::optional<OpenedFile> file = OpenAsTheDialogWould(options, platform, report);
    if (!file)
        return report;
    report.kept = SettingsDiffering(file->asRead, file->merged);
    const DefaultsScope scope = options.allUsers ? DefaultsScope::AllUsers : DefaultsScope::ThisUser;
    const std::optional<Encoded> now = ReadPrinterNow(platform, *file, scope, report);
    if (!now)
        return report;
    if (mode == Mode::Apply)
        SetAndReadBack(platform, file->printer, file->record, file->merged, scope, report);
    else
        report.changes = SettingsDiffering(*now, file->merged);
    return report;
}

std::string JsonStrings(const std::vector<std::u16string>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        out += (i ? "," : "") + QuoteForJson(texts[i]);
    return out + "]";
}

std::string ApplyJson(const Options& options, Mode mode, const ApplyReport& r) {
    const bool compares = mode != Mode::Apply;
    std::string out = "{\"file\":" + QuoteForJson(r.file) + ",\"printer\":" + JsonString(r.printer) + ",\"scope\":\"" +
                      (options.allUsers ? "all-users" : "this-user") + "\"" +
                      ",\"userPreferences\":" + (r.before ? (r.before->userPreferences ? "true" : "false") : "null") +
                      ",\"compared\":" + (r.before && compares ? JsonName(r.before->source) : "null");
    if (mode == Mode::Check)
        out += ",\"matches\":" + std::string(r.changes ? (r.changes->empty() ? "true" : "false") : "null") +
               ",\"differences\":" + (r.changes ? inspect::FormatJsonDifferences(*r.changes) : "null");
    else
        out += std::string(",\"dryRun\":") + (mode == Mode::DryRun ? "true" : "false") +
               ",\"applied\":" + (r.applied ? "true" : "false") +
               ",\"changes\":" + (r.changes ? inspect::FormatJsonDifferences(*r.changes) : "null") +
               ",\"notTakenEffect\":" + inspect::FormatJsonDifferences(r.notTaken);
    return out + ",\"notKept\":" + inspect::FormatJsonDifferences(r.kept) + ",\"notes\":" + JsonStrings(r.notes) +
           ",\"problem\":" + JsonString(r.problem) + "}\n";
}

// The labels of the settings, each once, for a summary line.
std::string Labels(const std::vector<Difference>& list) {
    std::vector<std::string> labels;
    for (const Difference& d : list)
        if (std::find(labels.begin(), labels.end(), d.label) == labels.end())
            labels.push_back(d.label);
    std::string out;
    for (const std::string& label : labels)
        out += (out.empty() ? "" : ", ") + label;
    return out;
}

std::string KeptText(Mode mode, const ApplyReport& r) {
    if (r.kept.empty())
        return "";
    return std::string(mode == Mode::Apply ? "not applied, as the printer's driver cannot hold "
                                           : "not compared, as "
                                             "the printer's "
                                             "driver cannot "
                                             "hold ") +
           Plural(r.kept.size(), "setting", "settings") + " as the file has them (file -> driver):\n" +
           inspect::FormatDifferenceLines(r.kept);
}

// A note when this user's preferences win over the printer's printing
// defaults that were compared or set.
std::string PreferencesNote(const Options& options, const ApplyReport& r) {
    if (!options.allUsers || !r.before || !r.before->userPreferences)
        return "";
    return "note: this user has printing preferences of their own for " + QuoteForPerson(*r.printer) +
           ", which this user's programs start from instead; ikwdev-settings reset removes them\n";
}

std::string ApplyText(const Options& options, Mode mode, const ApplyReport& r) {
    if (!r.printer || !r.before)
        return "";
    const std::string printer = QuoteForPerson(*r.printer);
    const DefaultsScope scope = options.allUsers ? DefaultsScope::AllUsers : DefaultsScope::ThisUser;
    std::string out;
    if (r.changes) {
        const std::string compared = Describe(r.before->source);
        out =
            r.changes->empty()
                ? "dry run: " + printer + " already holds the settings of " + ShowName(r.file) + " (" + compared + ")\n"
                : "dry run: " + ShowName(r.file) + " would change " + Plural(r.changes->size(), "setting", "settings") +
                      " of " + printer + " (" + compared + "):\n" + inspect::FormatDifferenceLines(*r.changes);
    } else if (r.applied) {
        out = "applied: " + ShowName(r.file) + " -> " + printer + " (" + Describe(SourceOf(scope)) +
              "), read back unchanged\n";
    } else if (!r.notTaken.empty()) {
        out = "not applied: " + Plural(r.notTaken.size(), "setting", "settings") + " of " + ShowName(r.file) +
              " did not take effect on " + printer + " (" + Describe(SourceOf(scope)) + "; set -> read back):\n" +
              inspect::FormatDifferenceLines(r.notTaken);
    }
    return out + KeptText(mode, r) + PreferencesNote(options, r);
}

ExitStatus Apply(const Options& options, Mode mode, Platform& platform) {
    const ApplyReport report = ApplyFile(options, mode, platform);
    for (const std::u16string& note : report.notes)
        Complain(platform, note);
    if (report.problem)
        Complain(platform, *report.problem +
                               (report.notTaken.empty() ? u"" : u": " + console::FromUtf8(Labels(report.notTaken))));
    return Finish(platform, options.json ? ApplyJson(options, mode, report) : ApplyText(options, mode, report),
                  !report.problem);
}

// Compliance tools show a script's last line only, and only so much of it.
constexpr std::size_t kMaxSummaryBytes = 2047;

std::string SummaryLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (text.size() > kMaxSummaryBytes - 1) {
        std::size_t cut = kMaxSummaryBytes - 4;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;  // not inside a UTF-8 sequence
        text = text.substr(0, cut) + "...";
    }
    return text + "\n";
}

std::string CheckText(const Options& options, const ApplyReport& r) {
    if (r.problem)
        return SummaryLine("not checked: " + ToUtf8(*r.problem));
    const std::string printer = QuoteForPerson(*r.printer);
    const std::string compared = Describe(r.before->source);
    // The open's notes go with the answer: standard error is kept for a
    // check that could not be made.
    std::string out;
    for (const std::u16string& note : r.notes) {
        std::string text = "note: " + ToUtf8(note);
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 3))
            text.replace(at, 1, "\n  ");
        out += text + "\n";
    }
    out += KeptText(Mode::Check, r) + PreferencesNote(options, r);
    if (r.changes->empty())
        return out +
               SummaryLine("matches: " + printer + " (" + compared + ") holds the settings of " + ShowName(r.file));
    out = printer + " (" + compared + ") -> " + ShowName(r.file) + ":\n" + inspect::FormatDifferenceLines(*r.changes) +
          out;
    return out + SummaryLine("differs: " + Plural(r.changes->size(), "setting", "settings") + " of " + printer + " (" +
                             compared + ") differ from " + ShowName(r.file) + ": " + Labels(*r.changes));
}

// check: the answer a compliance rule's detection wants. 0 matches, 1 differs
// (said on standard output only: it is an answer, not a failure), 2 not
// checked, with the reason on standard error.
ExitStatus Check(const Options& options, Platform& platform) {
    const ApplyReport report = ApplyFile(options, Mode::Check, platform);
    if (report.problem) {
        for (const std::u16string& note : report.notes)
            Complain(platform, note);
        Complain(platform, *report.problem);
    }
    const std::string out = options.json ? ApplyJson(options, Mode::Check, report) : CheckText(options, report);
    if (!console::WriteOut(platform.console, kProgram, out))
        return ExitStatus::OutputFailed;
    if (report.problem)
        return ExitStatus::NotCompared;
    return report.changes->empty() ? ExitStatus::Same : ExitStatus::Different;
}

// ---------------------------------------------------------------------------
// reset

struct ResetReport {
    std::u16string printer;
    std::optional<bool> hadPreferences;
    bool removed = false;
    std::optional<std::u16string> problem;
};

ResetReport ResetPreferences(const std::u16string& named, Platform& platform) {
    ResetReport report{named, std::nullopt, false, std::nullopt};
    const std::optional<std::vector<std::u16string>> printers = platform.spooler.EnumerateInstalledPrinters();
    if (!printers) {
        report.problem = kNoListText;
        return report;
    }
    const std::optional<std::u16string> printer = FindInstalledPrinter(named, *printers, platform.spooler);
    if (!printer) {
        report.problem = kNotInstalledText + u" (" + named + u")";
        return report;
    }
    report.printer = *printer;
    const StoredDefaults before = platform.defaults.ReadDefaults(*printer, DefaultsScope::ThisUser);
    if (!before.readable) {
        report.problem = kNoDefaultsText + u" (" + *printer + u")";
        return report;
    }
    report.hadPreferences = before.record.has_value();
    if (!before.record)
        return report;
    switch (platform.defaults.RemoveUserPreferences(*printer)) {
    case SetOutcome::Set:
        break;
    case SetOutcome::AccessDenied:
        report.problem = kResetDeniedText + u" (" + *printer + u")";
        return report;
    case SetOutcome::Failed:
        report.problem = kResetFailedText + u" (" + *printer + u")";
        return report;
    }
    const StoredDefaults after = platform.defaults.ReadDefaults(*printer, DefaultsScope::ThisUser);
    if (!after.readable || after.record)
        report.problem = kResetNotTakenText + u" (" + *printer + u")";
    else
        report.removed = true;
    return report;
}

ExitStatus Reset(const Options& options, Platform& platform) {
    const ResetReport r = ResetPreferences(options.operands[0], platform);
    if (r.problem)
        Complain(platform, *r.problem);
    std::string out;
    if (options.json)
        out = "{\"printer\":" + QuoteForJson(r.printer) +
              ",\"userPreferences\":" + (r.hadPreferences ? (*r.hadPreferences ? "true" : "false") : "null") +
              ",\"removed\":" + (r.removed ? "true" : "false") + ",\"problem\":" + JsonString(r.problem) + "}\n";
    else if (r.removed)
        out = "reset: this user's printing preferences for " + QuoteForPerson(r.printer) +
              " were removed; this user now starts from the printer's printing defaults\n";
    else if (r.hadPreferences && !*r.hadPreferences)
        out = "reset: this user has no printing preferences for " + QuoteForPerson(r.printer) +
              "; this user already starts from the printer's printing defaults\n";
    return Finish(platform, out, !r.problem);
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
           "       ikwdev-settings check [--printer NAME] [--all-users] [--json] FILE.dev\n"
           "       ikwdev-settings reset [--json] PRINTER\n"
           "\n"
           "A printer has two kinds of default settings: this user's printing preferences, which\n"
           "this user's programs start from when the user has them, and the printer's printing\n"
           "defaults, shared by every user, which users without preferences of their own start\n"
           "from. Each command says which of them it read or changed.\n"
           "\n"
           "capture writes the printer's current settings for this user to a device info file,\n"
           "  byte for byte as a save from the dialog would; an existing file is replaced only\n"
           "  once the new one is whole. --all writes one file for every printer into FOLDER\n"
           "  (made when missing), named as the dialog's save suggests, and numbered where two\n"
           "  printers would get one name.\n"
           "apply makes the file's settings this user's printing preferences for the printer the\n"
           "  file names (or --printer NAME), after the same checks and driver merge as opening the\n"
           "  file in IKWDev, then reads them back as a new program would and names every setting\n"
           "  that did not take effect. The system default printer is never changed.\n"
           "  --dry-run    show what would change (as ikwdev-inspect --diff: the printer's\n"
           "               settings -> the file's) and change nothing\n"
           "  --all-users  set (or with --dry-run compare with) the printer's printing defaults,\n"
           "               shared by every user; setting them needs the right to manage the\n"
           "               printer, and changes nothing without it\n"
           "check compares the defaults this user's programs start from (with --all-users: the\n"
           "  printer's printing defaults) with what apply would set from the file. A setting the\n"
           "  printer's driver cannot hold is listed once as not compared. The last line of its\n"
           "  output is a one-line summary: matches, differs or not checked.\n"
           "reset removes this user's printing preferences for the printer, so that this user\n"
           "  starts from the printer's printing defaults again.\n"
           "--json prints one JSON object instead of text.\n"
           "\n"
           "Round trip: capture on a reference machine, compare with ikwdev-inspect --diff, apply:\n"
           "  ikwdev-settings capture --all settings\n"
           "  ikwdev-inspect --diff settings\\Office.dev Office-new.dev\n"
           "  ikwdev-settings check settings\\Office.dev || ikwdev-settings apply settings\\Office.dev\n"
           "\n"
           "Exit status: 0 when everything asked for was done (check: the printer matches the\n"
           "file), 1 when some of it was not, each failure saying why on standard error (check:\n"
           "the printer differs, said on standard output only), 2 on wrong usage, when the output\n"
           "cannot be written, or when check could not compare (the reason on standard error).\n"
           "\n"
           "Under Wine a printer keeps one record for both kinds of defaults, so this user always\n"
           "has printing preferences, reset cannot remove them and --all-users needs no rights;\n"
           "and Wine's PostScript driver puts the printer's PPD page size and duplex over the\n"
           "stored defaults when a program first uses the printer, which apply, reading back in\n"
           "a new process as the next program would, names as not taking effect.\n";
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
        return Apply(*options, options->dryRun ? Mode::DryRun : Mode::Apply, platform);
    case Options::Command::Check:
        return Check(*options, platform);
    case Options::Command::Reset:
        return Reset(*options, platform);
    }
    return ExitStatus::WrongUsage;
}

}  // namespace ikw::settings
