#pragma once
// How the inspector and ikwdev-settings write what they read: text for a
// person in UTF-8, JSON in pure ASCII, and the words for a field's value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ikw::inspect {

// The version of the JSON shapes the inspector writes, in every object as
// "format"; it grows when a member changes meaning or goes away.
inline constexpr int kJsonFormat = 1;

// The members that describe one file's problem, without braces: the one
// shape for the per-file object and for the diff's "problems" list.
std::string JsonProblemMembers(const std::u16string& file, const std::string& problem,
                               std::optional<std::size_t> offset);
// A name in quotes: for a person, readable with only what would break the
// line or hide a character escaped; for JSON, pure ASCII.
std::string QuoteForPerson(const std::u16string& s);
std::string QuoteForJson(const std::u16string& s);
// A public field's value as a person reads it, e.g. "2 (landscape)".
std::string DescribeValue(const std::string& field, std::int16_t value);

std::string ToUtf8(const std::u16string& s);
// A byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC80 + (byte - 0x80), as Python's "surrogateescape" does: two names
// that differ only in such bytes stay different in the JSON output, and a
// script can get the bytes back.
std::u16string FromUtf8(const std::string& s);
// A file name for the text output and messages: control characters and lone
// surrogates as \uXXXX, so a name cannot break or forge a line.
std::string ShowName(const std::u16string& name);

// "0x" and the value in hexadecimal, at least digits long.
std::string Hex(std::uint32_t value, int digits);
// A number in JSON; null when there is none.
std::string JsonNumberOrNull(const std::optional<long long>& value);

}  // namespace ikw::inspect
