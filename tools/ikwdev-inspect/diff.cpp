#include "tools/ikwdev-inspect/diff.h"

#include <algorithm>
#include <cstdio>

namespace ikw::inspect {

namespace {

// What each public field is to a user; the record's own names stay beside
// them so the output can be matched with the plain inspector's.
struct FieldLabel {
    const char* field;
    const char* label;
};
constexpr FieldLabel kFieldLabels[] = {
    {"dmOrientation", "orientation"},
    {"dmPaperSize", "paper"},
    {"dmPaperLength", "paper length"},
    {"dmPaperWidth", "paper width"},
    {"dmScale", "scale"},
    {"dmCopies", "copies"},
    {"dmDefaultSource", "source"},
    {"dmPrintQuality", "resolution"},
    {"dmColor", "colour"},
    {"dmDuplex", "duplex"},
    {"dmYResolution", "vertical resolution"},
    {"dmTTOption", "TrueType fonts"},
    {"dmCollate", "collation"},
};

std::string LabelOf(const std::string& field) {
    for (const FieldLabel& label : kFieldLabels)
        if (field == label.field)
            return label.label;
    return field;
}

std::string PrinterName(const DeviceInfo& info) {
    return QuoteForPerson(info.fullDeviceName ? *info.fullDeviceName : info.record.dmDeviceName);
}

std::u16string FullName(const DeviceInfo& info) {
    return info.fullDeviceName ? *info.fullDeviceName : info.record.dmDeviceName;
}

// The public bytes after the fields the decoder reads (from the end of
// dmFormName to dmSize): display and colour-matching fields, media and
// dither types. Compared as bytes, since nothing here names them.
constexpr std::size_t kPublicRestOffset = kDmFormNameOffset + 2 * kDmNameUnits;

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    from = std::min(from, bytes.size());
    to = std::min(std::max(from, to), bytes.size());
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

std::vector<std::uint8_t> PublicRest(const DeviceInfo& info, const std::vector<std::uint8_t>& bytes) {
    return Slice(bytes, 4 + kPublicRestOffset, 4 + std::size_t{info.record.dmSize});
}

std::vector<std::uint8_t> PrivatePart(const DeviceInfo& info, const std::vector<std::uint8_t>& bytes) {
    return Slice(bytes, info.driverPrivateOffset, info.driverPrivateOffset + info.driverPrivateSize);
}

std::string OptionalNumber(const std::optional<long long>& value) { return value ? std::to_string(*value) : "null"; }

class Differences {
public:
    void Add(std::string field, std::string label, std::string textA, std::string textB, std::string jsonA,
             std::string jsonB) {
        if (jsonA != jsonB)
            list.push_back({std::move(field), std::move(label), std::move(textA), std::move(textB), std::move(jsonA),
                            std::move(jsonB)});
    }
    // A part nothing here reads field by field: its size, and whether its
    // bytes are the same.
    void AddBytes(const std::string& field, const std::string& label, const std::vector<std::uint8_t>& a,
                  const std::vector<std::uint8_t>& b) {
        if (a == b)
            return;
        const auto size = [](const std::vector<std::uint8_t>& part) {
            return part.empty() ? std::string("none") : std::to_string(part.size()) + " bytes";
        };
        list.push_back({field, label, size(a), size(b) + (a.size() == b.size() ? ", contents differ" : ""),
                        std::to_string(a.size()), std::to_string(b.size())});
    }
    void AddNumber(const std::string& field, const std::string& label, std::optional<long long> a,
                   std::optional<long long> b) {
        const auto text = [](std::optional<long long> v) { return v ? std::to_string(*v) : "beyond dmSize"; };
        Add(field, label, text(a), text(b), OptionalNumber(a), OptionalNumber(b));
    }
    std::vector<Difference> list;
};

std::string DescribeShort(const std::string& field, const std::optional<std::int16_t>& value) {
    return value ? DescribeValue(field, *value) : "beyond dmSize";
}

std::string FormatTextDiff(const std::u16string& a, const std::u16string& b, const std::vector<Difference>& list) {
    const std::string names = ShowName(a) + " and " + ShowName(b);
    if (list.empty())
        return names + " hold the same settings\n";
    std::string out =
        names + " differ in " + std::to_string(list.size()) + (list.size() == 1 ? " setting" : " settings") + ":\n";
    for (const Difference& d : list)
        out += "  " + FormatDifferenceLine(d) + "\n";
    return out;
}

std::string FormatJsonDiff(const std::u16string& a, const std::u16string& b, const std::vector<Difference>& list) {
    std::string out = "{\"a\":" + QuoteForJson(a) + ",\"b\":" + QuoteForJson(b) +
                      ",\"same\":" + (list.empty() ? "true" : "false") + ",\"differences\":[";
    for (std::size_t i = 0; i < list.size(); ++i)
        out += (i ? "," : "") + FormatJsonDifference(list[i]);
    return out + "]}\n";
}

}  // namespace

std::string FormatDifferenceLine(const Difference& d) {
    const std::string name = d.label == d.field ? d.label : d.label + " (" + d.field + ")";
    return name + ": " + d.textA + " -> " + d.textB;
}

std::string FormatJsonDifference(const Difference& d) {
    return "{\"field\":\"" + d.field + "\",\"label\":\"" + d.label + "\",\"a\":" + d.jsonA + ",\"b\":" + d.jsonB + "}";
}

bool IsDiffRequest(const std::vector<std::u16string>& args) {
    for (const std::u16string& arg : args) {
        if (arg == u"--")
            return false;
        if (arg == u"--diff")
            return true;
    }
    return false;
}

std::vector<Difference> CompareDeviceInfo(const DeviceInfo& a, const std::vector<std::uint8_t>& bytesA,
                                          const DeviceInfo& b, const std::vector<std::uint8_t>& bytesB) {
    Differences d;
    d.Add("FullDeviceName", "printer", PrinterName(a), PrinterName(b), QuoteForJson(FullName(a)),
          QuoteForJson(FullName(b)));
    d.Add("dmDeviceName", "the record's printer name", QuoteForPerson(a.record.dmDeviceName),
          QuoteForPerson(b.record.dmDeviceName), QuoteForJson(a.record.dmDeviceName),
          QuoteForJson(b.record.dmDeviceName));
    d.AddNumber("dmSpecVersion", "record version", a.record.dmSpecVersion, b.record.dmSpecVersion);
    d.AddNumber("dmDriverVersion", "driver version", a.record.dmDriverVersion, b.record.dmDriverVersion);
    d.AddNumber("dmSize", "public part size", a.record.dmSize, b.record.dmSize);
    const auto bits = [](const std::optional<std::uint32_t>& fields) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(fields.value_or(0)));
        return fields ? std::string(text) : std::string("beyond dmSize");
    };
    d.Add("dmFields", "fields set", bits(a.record.dmFields), bits(b.record.dmFields), OptionalNumber(a.record.dmFields),
          OptionalNumber(b.record.dmFields));
    for (const DmShortField& field : kDmShortFields) {
        const std::optional<std::int16_t>& valueA = a.record.*field.member;
        const std::optional<std::int16_t>& valueB = b.record.*field.member;
        d.Add(field.name, LabelOf(field.name), DescribeShort(field.name, valueA), DescribeShort(field.name, valueB),
              OptionalNumber(valueA), OptionalNumber(valueB));
    }
    const auto form = [](const DeviceInfo& info, bool json) {
        if (!info.record.dmFormName)
            return json ? std::string("null") : std::string("beyond dmSize");
        return json ? QuoteForJson(*info.record.dmFormName) : QuoteForPerson(*info.record.dmFormName);
    };
    d.Add("dmFormName", "paper name", form(a, false), form(b, false), form(a, true), form(b, true));

    d.AddBytes("publicRest", "other public fields", PublicRest(a, bytesA), PublicRest(b, bytesB));
    // The private part is the driver's own layout: its size and whether its
    // bytes are the same is all a reader can tell.
    d.AddBytes("driverPrivate", "driver's private part", PrivatePart(a, bytesA), PrivatePart(b, bytesB));
    return d.list;
}

std::string DiffUsage() {
    return "usage: ikwdev-inspect --diff [--json] [--] A B\n"
           "Shows which settings differ between two device info files (.dev).\n"
           "Exit status: 0 when they hold the same settings, 1 when they differ,\n"
           "2 when either cannot be read, on wrong usage or when the output cannot be written.\n";
}

DiffStatus RunDiff(const std::vector<std::u16string>& args, const Io& io) {
    bool json = false;
    bool optionsEnded = false;
    std::vector<std::size_t> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::u16string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != u'-')
            files.push_back(i);
        else if (arg == u"--")
            optionsEnded = true;
        else if (arg == u"--json")
            json = true;
        else if (arg == u"--help" || arg == u"-h") {
            return WriteOut(io, DiffUsage()) ? DiffStatus::Same : DiffStatus::Unreadable;
        } else if (arg != u"--diff") {
            io.err("ikwdev-inspect: unknown option " + ShowName(arg) + "\n" + DiffUsage());
            return DiffStatus::Unreadable;
        }
    }
    if (files.size() != 2) {
        io.err("ikwdev-inspect: --diff compares exactly two files\n" + DiffUsage());
        return DiffStatus::Unreadable;
    }

    const ReadResult a = ReadDeviceInfo(io, files[0]);
    const ReadResult b = ReadDeviceInfo(io, files[1]);
    bool readable = true;
    for (const auto& [index, read] : {std::pair{files[0], &a}, std::pair{files[1], &b}}) {
        if (read->problem) {
            readable = false;
            if (!ReportProblem(io, args[index], *read, json))
                return DiffStatus::Unreadable;
        } else {
            ReportWarnings(io, args[index], *read->info);
        }
    }
    if (!readable)
        return DiffStatus::Unreadable;

    const std::vector<Difference> list = CompareDeviceInfo(*a.info, a.bytes, *b.info, b.bytes);
    const std::u16string& nameA = args[files[0]];
    const std::u16string& nameB = args[files[1]];
    if (!WriteOut(io, json ? FormatJsonDiff(nameA, nameB, list) : FormatTextDiff(nameA, nameB, list)))
        return DiffStatus::Unreadable;
    return list.empty() ? DiffStatus::Same : DiffStatus::Different;
}

}  // namespace ikw::inspect
