#include "tools/ikwdev-inspect/inspect.h"

#include <cstdio>

#include "tools/console/command_line.h"
#include "tools/console/text.h"
#include "tools/ikwdev-inspect/text_format.h"

namespace ikw::inspect {

namespace {

using console::FromUtf8;
using console::ParseCommandLine;
using console::ParsedCommandLine;
using console::QuoteForJson;
using console::QuoteForPerson;
using console::ShowName;

std::string SetBitNames(std::uint32_t fields) {
    std::string names;
    for (const RecordSetting& setting : kRecordSettings)
        if (fields & setting.bit) {
            names += ' ';
            names += setting.win32Name;
            fields &= ~setting.bit;
        }
    if (fields != 0)
        names += " and unknown bits " + Hex(fields, 8);
    return names;
}

void AddLine(std::string& out, const char* label, const std::string& value) {
    char start[32];
    std::snprintf(start, sizeof start, "  %-17s", label);
    out += start + value + "\n";
}

}  // namespace

std::string Usage() {
    return "usage: ikwdev-inspect [--json] [--] FILE...\n"
           "Shows what device info files (.dev) hold and checks that they are whole.\n"
           "  --json     one JSON object per file, each on a line of its own\n"
           "  --diff     compare two files instead: ikwdev-inspect --diff [--json] A B\n"
           "  --help     this text\n"
           "  --version  the inspector's version\n"
           "Exit status: 0 when every FILE is a valid device info file, 1 when any is\n"
           "not (each problem is reported on standard error), 2 when any cannot be\n"
           "read at all, on wrong usage or when the output cannot be written.\n";
}

std::string FormatText(const std::u16string& file, const DeviceInfo& info) {
    const DevModeFields& r = info.record;
    std::string out = ShowName(file) + ": valid device info file of " + std::to_string(info.fileSize) + " bytes\n";
    AddLine(out, "DevModeSize",
            std::to_string(info.devModeSize) + " (dmSize " + std::to_string(r.dmSize) + " + dmDriverExtra " +
                std::to_string(r.dmDriverExtra) + ")");
    AddLine(out, "dmDeviceName", QuoteForPerson(r.dmDeviceName));
    AddLine(out, "FullDeviceName",
            info.fullDeviceName ? QuoteForPerson(*info.fullDeviceName)
                                : "none: no tail, the record's name is the full name");
    AddLine(out, "dmSpecVersion", Hex(r.dmSpecVersion, 4));
    AddLine(out, "dmDriverVersion", Hex(r.dmDriverVersion, 4));
    AddLine(out, "dmSize", std::to_string(r.dmSize));
    AddLine(out, "dmDriverExtra",
            r.dmDriverExtra == 0 ? "0: no driver-private part"
                                 : std::to_string(r.dmDriverExtra) + ": the driver-private part, from byte " +
                                       std::to_string(info.driverPrivateOffset) + " of the file");
    AddLine(out, "dmFields", r.dmFields ? Hex(*r.dmFields, 8) + SetBitNames(*r.dmFields) : "beyond dmSize");
    const std::uint32_t setBits = r.dmFields.value_or(0);
    for (const DmShortField& field : kDmShortFields) {
        const std::optional<std::int16_t>& value = r.*field.member;
        std::string text = "beyond dmSize";
        if (value) {
            text = DescribeValue(field.setting.field, *value);
            if ((setBits & field.setting.bit) == 0)
                text += ", not set in dmFields";
        }
        AddLine(out, field.setting.field, text);
    }
    std::string form = "beyond dmSize";
    if (r.dmFormName) {
        form = QuoteForPerson(*r.dmFormName);
        if ((setBits & kFormNameSetting.bit) == 0)
            form += ", not set in dmFields";
    }
    AddLine(out, kFormNameSetting.field, form);
    return out;
}

std::string FormatJson(const std::u16string& file, const DeviceInfo& info) {
    const DevModeFields& r = info.record;
    const auto member = [](const char* name, const std::string& value) {
        return ",\"" + std::string(name) + "\":" + value;
    };
    std::string out =
        "{\"format\":" + std::to_string(kJsonFormat) + ",\"file\":" + QuoteForJson(file) + ",\"valid\":true";
    out += member("fileSize", std::to_string(info.fileSize));
    out += member("DevModeSize", std::to_string(info.devModeSize));
    out += member("dmDeviceName", QuoteForJson(r.dmDeviceName));
    out += member("dmSpecVersion", std::to_string(r.dmSpecVersion));
    out += member("dmDriverVersion", std::to_string(r.dmDriverVersion));
    out += member("dmSize", std::to_string(r.dmSize));
    out += member("dmDriverExtra", std::to_string(r.dmDriverExtra));
    out += member("dmFields", JsonNumberOrNull(r.dmFields));
    for (const DmShortField& field : kDmShortFields)
        out += member(field.setting.field, JsonNumberOrNull(r.*field.member));
    out += member(kFormNameSetting.field, r.dmFormName ? QuoteForJson(*r.dmFormName) : "null");
    out += member("driverPrivateOffset", std::to_string(info.driverPrivateOffset));
    out += member("driverPrivateSize", std::to_string(info.driverPrivateSize));
    out += member("FullDeviceName", info.fullDeviceName ? QuoteForJson(*info.fullDeviceName) : "null");
    std::string warnings;
    for (const DecodeWarning& warning : info.warnings)
        warnings += std::string(warnings.empty() ? "" : ",") + "{\"offset\":" + std::to_string(warning.offset) +
                    ",\"message\":" + QuoteForJson(FromUtf8(warning.message)) + "}";
    out += member("warnings", "[" + warnings + "]");
    return out + "}\n";
}

std::string FormatJsonProblem(const std::u16string& file, const std::string& problem,
                              std::optional<std::size_t> offset) {
    return "{\"format\":" + std::to_string(kJsonFormat) + "," + JsonProblemMembers(file, problem, offset) + "}\n";
}

std::string VersionText() { return std::string("ikwdev-inspect ") + IKW_INSPECT_VERSION + "\n"; }

ExitStatus RunInspect(const std::vector<std::u16string>& args, const Io& io) {
    const ParsedCommandLine line = ParseCommandLine(args, 0, {{u"--json"}, {u"--help"}, {u"-h"}, {u"--version"}});
    const bool help = line.Has(u"--help") || line.Has(u"-h");
    const bool version = line.Has(u"--version");
    std::string error;
    if (line.problem)
        error = "unknown option " + ShowName(line.problemArgument);
    else if (!help && !version && line.operands.empty())
        error = "no FILE given";
    if (!error.empty()) {
        io.err("ikwdev-inspect: " + error + "\n" + Usage());
        return ExitStatus::WrongUsage;
    }
    if (help || version)
        return WriteOut(io, help ? Usage() : VersionText()) ? ExitStatus::AllValid : ExitStatus::OutputFailed;
    const bool json = line.Has(u"--json");
    ExitStatus status = ExitStatus::AllValid;
    bool first = true;
    for (std::size_t index : line.operands) {
        const std::u16string& name = args[index];
        const ReadResult read = ReadDeviceInfo(io, index);
        if (read.problem) {
            // A file that could not be read outweighs one that could: of
            // that one nothing is known.
            if (read.cannotRead)
                status = ExitStatus::CannotRead;
            else if (status == ExitStatus::AllValid)
                status = ExitStatus::SomeInvalid;
            if (!ReportProblem(io, name, read, json))
                return ExitStatus::OutputFailed;
            continue;
        }
        ReportWarnings(io, name, *read.info);
        if (!WriteOut(io, json ? FormatJson(name, *read.info) : (first ? "" : "\n") + FormatText(name, *read.info)))
            return ExitStatus::OutputFailed;
        first = false;
    }
    return status;
}

// Nothing more is written once a write fails: the reader already has a
// cut-off output, and only the exit status can tell it so.
bool WriteOut(const Io& io, const std::string& text) { return console::WriteOut(io, "ikwdev-inspect: ", text); }

ReadResult ReadDeviceInfo(const Io& io, std::size_t argIndex) {
    FileContents contents = io.read(argIndex);
    ReadResult result;
    result.problem = contents.error;
    result.cannotRead = contents.error.has_value();
    if (!result.problem && contents.bytes.size() > kMaxDeviceInfoFileSize) {
        result.problem =
            "longer than any device info file can be (" + std::to_string(kMaxDeviceInfoFileSize) + " bytes)";
    } else if (!result.problem) {
        DecodeResult decoded = DecodeDeviceInfo(contents.bytes.data(), contents.bytes.size());
        if (decoded.error) {
            result.problem = decoded.error->message;
            result.offset = decoded.error->offset;
        }
        result.info = std::move(decoded.info);
    }
    result.bytes = std::move(contents.bytes);
    return result;
}

bool ReportProblem(const Io& io, const std::u16string& file, const ReadResult& read, bool json) {
    io.err(ShowName(file) + ": " + (read.offset ? "invalid at byte " + std::to_string(*read.offset) + ": " : "") +
           *read.problem + "\n");
    return !json || WriteOut(io, FormatJsonProblem(file, *read.problem, read.offset));
}

void ReportWarnings(const Io& io, const std::u16string& file, const DeviceInfo& info) {
    for (const DecodeWarning& warning : info.warnings)
        io.err(ShowName(file) + ": warning at byte " + std::to_string(warning.offset) + ": " + warning.message + "\n");
}

}  // namespace ikw::inspect
