#include "tools/ikwdev-inspect/text_format.h"

#include <cstdio>

namespace ikw::inspect {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// Where FromUtf8 puts the bytes 0x80 to 0xFF that are not UTF-8.
constexpr char16_t kEscapedByteBase = 0xDC80;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Calls emit with each code point; a surrogate without its partner comes
// through as itself, for the caller to show or replace.
template <typename Emit>
void ForEachCodePoint(const std::u16string& s, Emit emit) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) {
            emit(0x10000 + ((static_cast<char32_t>(s[i]) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else {
            emit(static_cast<char32_t>(s[i]));
        }
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (IsSurrogate(c))
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string UnitEscape(char32_t unit) {
    char text[7];
    std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(unit));
    return text;
}

// JSON: pure ASCII, so no console code page can garble it, and every code
// unit comes back exactly, lone surrogates included. For a person: readable
// text, with only what would break the line or hide a character escaped;
// backslashes stay as they are, as network printer names are full of them.
enum class Audience { Json, Person };

std::string Escaped(const std::u16string& s, Audience audience) {
    std::string out;
    if (audience == Audience::Json) {
        for (char16_t unit : s) {
            if (unit == u'"' || unit == u'\\')
                out += {'\\', static_cast<char>(unit)};
            else if (unit < 0x20 || unit >= 0x7F)
                out += UnitEscape(unit);
            else
                out += static_cast<char>(unit);
        }
    } else {
        ForEachCodePoint(s, [&](char32_t c) {
            if (c < 0x20 || (c >= 0x7F && c < 0xA0) || IsSurrogate(c))
                out += UnitEscape(c);
            else
                AppendUtf8(out, c);
        });
    }
    return out;
}

std::string Quote(const std::u16string& s, Audience audience) { return "\"" + Escaped(s, audience) + "\""; }

// What the common values of the public fields mean, as the Win32 headers
// name them; drivers define their own from 256 up.
struct ValueLabel {
    const char* field;
    int value;
    const char* label;
};
constexpr ValueLabel kValueLabels[] = {
    {"dmOrientation", 1, "portrait"},
    {"dmOrientation", 2, "landscape"},
    {"dmPaperSize", 1, "Letter"},
    {"dmPaperSize", 3, "Tabloid"},
    {"dmPaperSize", 5, "Legal"},
    {"dmPaperSize", 7, "Executive"},
    {"dmPaperSize", 8, "A3"},
    {"dmPaperSize", 9, "A4"},
    {"dmPaperSize", 11, "A5"},
    {"dmPaperSize", 12, "B4 (JIS)"},
    {"dmPaperSize", 13, "B5 (JIS)"},
    {"dmPaperSize", 20, "Envelope #10"},
    {"dmPaperSize", 27, "Envelope DL"},
    {"dmPaperSize", 43, "Japanese postcard"},
    {"dmPaperSize", 70, "A6"},
    {"dmDefaultSource", 1, "upper tray"},
    {"dmDefaultSource", 2, "lower tray"},
    {"dmDefaultSource", 3, "middle tray"},
    {"dmDefaultSource", 4, "manual feed"},
    {"dmDefaultSource", 5, "envelope"},
    {"dmDefaultSource", 6, "envelope, manual feed"},
    {"dmDefaultSource", 7, "automatic"},
    {"dmDefaultSource", 8, "tractor"},
    {"dmDefaultSource", 9, "small format"},
    {"dmDefaultSource", 10, "large format"},
    {"dmDefaultSource", 11, "large capacity"},
    {"dmDefaultSource", 14, "cassette"},
    {"dmDefaultSource", 15, "by form"},
    {"dmPrintQuality", -1, "draft"},
    {"dmPrintQuality", -2, "low"},
    {"dmPrintQuality", -3, "medium"},
    {"dmPrintQuality", -4, "high"},
    {"dmColor", 1, "monochrome"},
    {"dmColor", 2, "color"},
    {"dmDuplex", 1, "one-sided"},
    {"dmDuplex", 2, "two-sided, long edge"},
    {"dmDuplex", 3, "two-sided, short edge"},
    {"dmTTOption", 1, "TrueType as bitmaps"},
    {"dmTTOption", 2, "TrueType downloaded"},
    {"dmTTOption", 3, "device fonts substituted"},
    {"dmTTOption", 4, "TrueType downloaded as outlines"},
    {"dmCollate", 0, "off"},
    {"dmCollate", 1, "on"},
};

}  // namespace

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

std::string DescribeValue(const std::string& field, std::int16_t value) {
    const std::string number = std::to_string(value);
    for (const ValueLabel& label : kValueLabels)
        if (field == label.field && value == label.value)
            return number + " (" + label.label + ")";
    if ((field == "dmPaperSize" || field == "dmDefaultSource") && value >= 256)
        return number + " (the driver's own)";
    if ((field == "dmPrintQuality" && value > 0) || field == "dmYResolution")
        return number + " dpi";
    if (field == "dmScale")
        return number + " %";
    if (field == "dmPaperLength" || field == "dmPaperWidth") {
        // Tenths of a millimetre.
        const int magnitude = value < 0 ? -value : value;
        char text[32];
        std::snprintf(text, sizeof text, " (%s%d.%d mm)", value < 0 ? "-" : "", magnitude / 10, magnitude % 10);
        return number + text;
    }
    return number;
}

std::string JsonNumberOrNull(const std::optional<long long>& value) { return value ? std::to_string(*value) : "null"; }

std::string ToUtf8(const std::u16string& s) {
    std::string out;
    ForEachCodePoint(s, [&](char32_t c) { AppendUtf8(out, c); });
    return out;
}

std::string ShowName(const std::u16string& name) { return Escaped(name, Audience::Person); }
std::string QuoteForPerson(const std::u16string& s) { return Quote(s, Audience::Person); }
std::string QuoteForJson(const std::u16string& s) { return Quote(s, Audience::Json); }

std::u16string FromUtf8(const std::string& s) {
    std::u16string out;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char lead = byte(i);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool ok = length != 0 && i + length <= s.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            ok = (byte(i + k) & 0xC0) == 0x80;
            c = (c << 6) | (byte(i + k) & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || c < kSmallest[length] || IsSurrogate(c) || c > 0x10FFFF) {
            out.push_back(static_cast<char16_t>(kEscapedByteBase + lead - 0x80));
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return out;
}

std::string JsonProblemMembers(const std::u16string& file, const std::string& problem,
                               std::optional<std::size_t> offset) {
    return "\"file\":" + Quote(file, Audience::Json) +
           ",\"valid\":false,\"error\":" + Quote(FromUtf8(problem), Audience::Json) +
           ",\"offset\":" + (offset ? std::to_string(*offset) : "null");
}

}  // namespace ikw::inspect
