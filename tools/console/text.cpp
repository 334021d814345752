#include "tools/console/text.h"

#include <cstdio>

namespace ikw::console {

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

}  // namespace

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

}  // namespace ikw::console
