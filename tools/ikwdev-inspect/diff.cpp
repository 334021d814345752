#include "tools/ikwdev-inspect/diff.h"

#include <algorithm>
#include <cstdio>

#include "devinfo/message_texts.h"
#include "tools/console/command_line.h"
#include "tools/console/text.h"
#include "tools/ikwdev-inspect/text_format.h"

namespace ikw::inspect {

namespace {

using console::OptionRule;
using console::ParseCommandLine;
using console::ParsedCommandLine;
using console::QuoteForJson;
using console::QuoteForPerson;
using console::ShowName;
using console::ToUtf8;

std::string PrinterName(const DeviceInfo& info) { return QuoteForPerson(PrinterNamedBy(info)); }

// The printer's name as the file gives it, and as the record's own field
// holds it: what a difference names, and what tells it is the printer.
constexpr const char* kPrinterField = "FullDeviceName";
constexpr const char* kRecordPrinterField = "dmDeviceName";

// The public fields compared by name, and where each lies in the record. A
// field that dmSize covers whole in either file is compared by name (and
// reads "beyond dmSize" in the other); its bytes then need no other
// comparison. dmDriverExtra is the private part's size, compared with it.
struct NamedRange {
    std::size_t offset, end;
};
std::vector<NamedRange> NamedRanges() {
    std::vector<NamedRange> ranges = {
        {kDmDeviceNameOffset, kDmDeviceNameOffset + 2 * kDmNameUnits},
        {kDmSpecVersionOffset, kDmSpecVersionOffset + 2},
        {kDmDriverVersionOffset, kDmDriverVersionOffset + 2},
        {kDmSizeOffset, kDmSizeOffset + 2},
        {kDmDriverExtraOffset, kDmDriverExtraOffset + 2},
        {kDmFieldsOffset, kDmFieldsOffset + 4},
    };
    for (const RecordSetting& setting : kRecordSettings)
        if (setting.value != SettingValue::Bytes)
            ranges.push_back({setting.offset, setting.End()});
    return ranges;
}

// Whether the byte at a record offset is compared by name: it lies in a
// named field that either record holds whole.
bool ComparedByName(std::size_t offset, std::uint16_t dmSizeA, std::uint16_t dmSizeB) {
    static const std::vector<NamedRange> kNamed = NamedRanges();
    for (const NamedRange& range : kNamed)
        if (offset >= range.offset && offset < range.end && (range.end <= dmSizeA || range.end <= dmSizeB))
            return true;
    return false;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes, const char* separator) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char text[3];
        std::snprintf(text, sizeof text, "%02X", bytes[i]);
        out += (i ? separator : "") + std::string(text);
    }
    return out;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    from = std::min(from, bytes.size());
    to = std::min(std::max(from, to), bytes.size());
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

// Record bytes from..to, by their offsets in the record, out of the file's
// bytes.
std::vector<std::uint8_t> RecordSlice(const std::vector<std::uint8_t>& fileBytes, std::size_t from, std::size_t to) {
    return Slice(fileBytes, kDeviceInfoHeaderSize + from, kDeviceInfoHeaderSize + to);
}

std::vector<std::uint8_t> PrivatePart(const DeviceInfo& info, const std::vector<std::uint8_t>& bytes) {
    return Slice(bytes, info.driverPrivateOffset, info.driverPrivateOffset + info.driverPrivateSize);
}

class Differences {
public:
    void Add(std::string field, std::string label, std::string textA, std::string textB, std::string jsonA,
             std::string jsonB) {
        if (jsonA != jsonB)
            list.push_back({std::move(field), std::move(label), std::move(textA), std::move(textB), std::move(jsonA),
                            std::move(jsonB), ""});
    }
    // A part nothing here reads field by field: its size, and whether its
    // bytes are the same.
    // fileOffsetA/B: where the part starts in each file; they differ when
    // the public parts do.
    void AddBytes(const std::string& field, const std::string& label, const std::vector<std::uint8_t>& a,
                  const std::vector<std::uint8_t>& b, std::size_t fileOffsetA, std::size_t fileOffsetB) {
        if (a == b)
            return;
        const auto size = [](const std::vector<std::uint8_t>& part) {
            return part.empty() ? std::string("none") : std::to_string(part.size()) + " bytes";
        };
        const auto mismatch =
            std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min(a.size(), b.size())), b.begin());
        const bool sameSize = a.size() == b.size();
        // Parts of one size differ somewhere inside: where, in each file, so
        // a reader can look.
        const std::size_t inPart = static_cast<std::size_t>(mismatch.first - a.begin());
        const std::string firstA = std::to_string(fileOffsetA + inPart);
        const std::string firstB = std::to_string(fileOffsetB + inPart);
        list.push_back(
            {field, label, size(a),
             size(b) + (sameSize ? ", contents differ from byte " + firstA + " of A, byte " + firstB + " of B" : ""),
             std::to_string(a.size()), std::to_string(b.size()),
             sameSize ? ",\"firstDifference\":" + firstA + ",\"firstDifferenceB\":" + firstB : ""});
    }
    // The public bytes no named field covers in both records, from 0 to the
    // longer dmSize, as runs of bytes at file offsets: each run that
    // differs, from its first to its last differing byte, with both values.
    // A byte past one record's dmSize is not there in that file.
    void AddPublicBytes(const DeviceInfo& a, const std::vector<std::uint8_t>& bytesA, const DeviceInfo& b,
                        const std::vector<std::uint8_t>& bytesB) {
        const std::uint16_t sizeA = a.record.dmSize, sizeB = b.record.dmSize;
        const std::size_t end = std::max(sizeA, sizeB);
        const auto at = [](const std::vector<std::uint8_t>& bytes, std::uint16_t dmSize, std::size_t offset) {
            const std::size_t inFile = kDeviceInfoHeaderSize + offset;
            return offset < dmSize && inFile < bytes.size() ? int{bytes[inFile]} : -1;
        };
        std::size_t offset = 0;
        while (offset < end) {
            if (ComparedByName(offset, sizeA, sizeB)) {
                ++offset;
                continue;
            }
            std::size_t runEnd = offset;
            while (runEnd < end && !ComparedByName(runEnd, sizeA, sizeB))
                ++runEnd;
            std::size_t first = runEnd, last = runEnd;
            for (std::size_t i = offset; i < runEnd; ++i)
                if (at(bytesA, sizeA, i) != at(bytesB, sizeB, i)) {
                    first = std::min(first, i);
                    last = i;
                }
            if (first < runEnd)
                AddRange(first, last + 1, RecordSlice(bytesA, first, std::min<std::size_t>(last + 1, sizeA)),
                         RecordSlice(bytesB, first, std::min<std::size_t>(last + 1, sizeB)));
            offset = runEnd;
        }
    }
    std::vector<Difference> list;

private:
    // A record whose dmSize ends inside the run holds only its first bytes:
    // how many of the run's bytes lie beyond it is said, so the shorter
    // value never reads as the whole run.
    void AddRange(std::size_t from, std::size_t to, const std::vector<std::uint8_t>& a,
                  const std::vector<std::uint8_t>& b) {
        const std::size_t size = to - from;
        const auto text = [size](const std::vector<std::uint8_t>& v) {
            if (v.empty())
                return std::string("beyond dmSize");
            const std::size_t beyond = size - v.size();
            return HexBytes(v, " ") + (beyond ? ", then " + std::to_string(beyond) + " beyond dmSize" : "");
        };
        const auto json = [](const std::vector<std::uint8_t>& v) {
            return v.empty() ? std::string("null") : "\"" + HexBytes(v, "") + "\"";
        };
        const auto beyond = [size](const char* member, const std::vector<std::uint8_t>& v) {
            return v.empty() || v.size() == size
                       ? std::string()
                       : ",\"" + std::string(member) + "\":" + std::to_string(size - v.size());
        };
        const std::size_t fileFrom = kDeviceInfoHeaderSize + from, fileLast = kDeviceInfoHeaderSize + to - 1;
        list.push_back({"publicBytes", "public bytes " + std::to_string(fileFrom) + " to " + std::to_string(fileLast),
                        text(a), text(b), json(a), json(b),
                        ",\"offset\":" + std::to_string(fileFrom) + ",\"size\":" + std::to_string(size) +
                            beyond("aBeyondDmSize", a) + beyond("bBeyondDmSize", b)});
    }

public:
    void AddNumber(const std::string& field, const std::string& label, std::optional<long long> a,
                   std::optional<long long> b) {
        const auto text = [](std::optional<long long> v) { return v ? std::to_string(*v) : "beyond dmSize"; };
        Add(field, label, text(a), text(b), JsonNumberOrNull(a), JsonNumberOrNull(b));
    }
};

// A setting's plain name, as the program's messages give it in English.
std::string PlainName(const RecordSetting& setting) { return ToUtf8(std::u16string(BuiltInText(setting.nameId))); }

std::string DescribeShort(const std::string& field, const std::optional<std::int16_t>& value) {
    return value ? DescribeValue(field, *value) : "beyond dmSize";
}

std::string FormatTextDiff(const std::u16string& a, const std::u16string& b, const std::vector<Difference>& list) {
    const std::string names = ShowName(a) + " and " + ShowName(b);
    if (list.empty())
        return names + " hold the same settings\n";
    return names + " differ in " + std::to_string(list.size()) + (list.size() == 1 ? " setting" : " settings") + ":\n" +
           FormatDifferenceLines(list);
}

// One object whatever happened: "same" is null and "problems" lists each file
// that could not be compared when either could not be read.
std::string FormatJsonDiff(const std::u16string& a, const std::u16string& b, const std::vector<Difference>& list,
                           const std::string& problems, bool compared) {
    return "{\"format\":" + std::to_string(kJsonFormat) + ",\"a\":" + QuoteForJson(a) + ",\"b\":" + QuoteForJson(b) +
           ",\"same\":" + (compared ? (list.empty() ? "true" : "false") : "null") + ",\"problems\":[" + problems +
           "],\"differences\":" + FormatJsonDifferences(list) + "}\n";
}

}  // namespace

bool NamesThePrinter(const Difference& difference) {
    return difference.field == kPrinterField || difference.field == kRecordPrinterField;
}

std::string FormatDifferenceLines(const std::vector<Difference>& list) {
    std::string out;
    for (const Difference& d : list) {
        const std::string name = d.label == d.field ? d.label : d.label + " (" + d.field + ")";
        out += "  " + name + ": " + d.textA + " -> " + d.textB + "\n";
    }
    return out;
}

std::string FormatJsonDifferences(const std::vector<Difference>& list) {
    std::string out = "[";
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Difference& d = list[i];
        out += (i ? "," : "") + std::string("{\"field\":\"") + d.field + "\",\"label\":\"" + d.label +
               "\",\"a\":" + d.jsonA + ",\"b\":" + d.jsonB + d.jsonMore + "}";
    }
    return out + "]";
}

std::vector<Difference> CompareDeviceInfo(const DeviceInfo& a, const std::vector<std::uint8_t>& bytesA,
                                          const DeviceInfo& b, const std::vector<std::uint8_t>& bytesB) {
    Differences d;
    d.Add(kPrinterField, "printer", PrinterName(a), PrinterName(b), QuoteForJson(PrinterNamedBy(a)),
          QuoteForJson(PrinterNamedBy(b)));
    d.Add(kRecordPrinterField, "the record's printer name", QuoteForPerson(a.record.dmDeviceName),
          QuoteForPerson(b.record.dmDeviceName), QuoteForJson(a.record.dmDeviceName),
          QuoteForJson(b.record.dmDeviceName));
    d.AddNumber("dmSpecVersion", "record version", a.record.dmSpecVersion, b.record.dmSpecVersion);
    d.AddNumber("dmDriverVersion", "driver version", a.record.dmDriverVersion, b.record.dmDriverVersion);
    d.AddNumber("dmSize", "public part size", a.record.dmSize, b.record.dmSize);
    const auto bits = [](const std::optional<std::uint32_t>& fields) {
        return fields ? Hex(*fields, 8) : std::string("beyond dmSize");
    };
    d.Add("dmFields", "fields set", bits(a.record.dmFields), bits(b.record.dmFields),
          JsonNumberOrNull(a.record.dmFields), JsonNumberOrNull(b.record.dmFields));
    for (const DmShortField& field : kDmShortFields) {
        const std::optional<std::int16_t>& valueA = a.record.*field.member;
        const std::optional<std::int16_t>& valueB = b.record.*field.member;
        const char* name = field.setting.field;
        d.Add(name, PlainName(field.setting), DescribeShort(name, valueA), DescribeShort(name, valueB),
              JsonNumberOrNull(valueA), JsonNumberOrNull(valueB));
    }
    const auto form = [](const DeviceInfo& info, bool json) {
        if (!info.record.dmFormName)
            return json ? std::string("null") : std::string("beyond dmSize");
        return json ? QuoteForJson(*info.record.dmFormName) : QuoteForPerson(*info.record.dmFormName);
    };
    d.Add(kFormNameSetting.field, PlainName(kFormNameSetting), form(a, false), form(b, false), form(a, true),
          form(b, true));

    d.AddPublicBytes(a, bytesA, b, bytesB);
    // The private part is the driver's own layout: its size and whether its
    // bytes are the same is all a reader can tell.
    d.AddBytes("driverPrivate", "driver's private part", PrivatePart(a, bytesA), PrivatePart(b, bytesB),
               a.driverPrivateOffset, b.driverPrivateOffset);
    return d.list;
}

std::string DiffUsage() {
    return "usage: ikwdev-inspect --diff [--json] [--] A B\n"
           "Shows which settings differ between two device info files (.dev).\n"
           "Exit status: 0 when nothing a reader of the files could see differs, 1 when\n"
           "something does (every public byte up to dmSize and the private part count),\n"
           "2 when either cannot be read or is not a valid device info file, on wrong usage\n"
           "or when the output cannot be written. With --json there is always one object.\n";
}

ExitStatus RunDiff(const std::vector<std::u16string>& args, const Io& io) {
    const ParsedCommandLine line = ParseCommandLine(args, 0,
                                                    {{u"--diff"},
                                                     {u"--json"},
                                                     {u"--help", OptionRule::Final},
                                                     {u"-h", OptionRule::Final},
                                                     {u"--version", OptionRule::Final}});
    if (line.problem) {
        io.err("ikwdev-inspect: unknown option " + ShowName(line.problemArgument) + "\n" + DiffUsage());
        return ExitStatus::WrongUsage;
    }
    if (line.Has(u"--help") || line.Has(u"-h") || line.Has(u"--version"))
        return WriteOut(io, line.Has(u"--version") ? VersionText() : DiffUsage()) ? ExitStatus::Same
                                                                                  : ExitStatus::OutputFailed;
    const std::vector<std::size_t>& files = line.operands;
    if (files.size() != 2) {
        io.err("ikwdev-inspect: --diff compares exactly two files\n" + DiffUsage());
        return ExitStatus::WrongUsage;
    }
    const bool json = line.Has(u"--json");

    const ReadResult a = ReadDeviceInfo(io, files[0]);
    const ReadResult b = ReadDeviceInfo(io, files[1]);
    const std::u16string& nameA = args[files[0]];
    const std::u16string& nameB = args[files[1]];
    std::string problems;
    for (const auto& [name, read] : {std::pair{&nameA, &a}, std::pair{&nameB, &b}}) {
        if (read->problem) {
            ReportProblem(io, *name, *read, false);
            problems += (problems.empty() ? "{" : ",{") + JsonProblemMembers(*name, *read->problem, read->offset) + "}";
        } else {
            ReportWarnings(io, *name, *read->info);
        }
    }
    const bool compared = problems.empty();
    const std::vector<Difference> list =
        compared ? CompareDeviceInfo(*a.info, a.bytes, *b.info, b.bytes) : std::vector<Difference>{};
    if (json ? !WriteOut(io, FormatJsonDiff(nameA, nameB, list, problems, compared))
             : compared && !WriteOut(io, FormatTextDiff(nameA, nameB, list)))
        return ExitStatus::OutputFailed;
    if (!compared)
        return ExitStatus::NotCompared;
    return list.empty() ? ExitStatus::Same : ExitStatus::Different;
}

}  // namespace ikw::inspect
