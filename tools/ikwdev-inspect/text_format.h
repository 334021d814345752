#pragma once
// How the inspector writes what it read: the JSON shapes' version and a
// file's problem, and the words for a field's value. Names and texts are
// written with the console tools' own quoting (tools/console/text.h).

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
// A public field's value as a person reads it, e.g. "2 (landscape)".
std::string DescribeValue(const std::string& field, std::int16_t value);

// "0x" and the value in hexadecimal, at least digits long.
std::string Hex(std::uint32_t value, int digits);
// A number in JSON; null when there is none.
std::string JsonNumberOrNull(const std::optional<long long>& value);

}  // namespace ikw::inspect
