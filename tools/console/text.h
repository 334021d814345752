#pragma once
// How the console tools write names and texts they were given: UTF-8 for a
// person, pure ASCII for JSON, and the UTF-16 the core works in.

#include <string>

namespace ikw::console {

// A name in quotes: for a person, readable with only what would break the
// line or hide a character escaped; for JSON, pure ASCII.
std::string QuoteForPerson(const std::u16string& s);
std::string QuoteForJson(const std::u16string& s);

std::string ToUtf8(const std::u16string& s);
// A byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC80 + (byte - 0x80), as Python's "surrogateescape" does: two names
// that differ only in such bytes stay different in the JSON output, and a
// script can get the bytes back.
std::u16string FromUtf8(const std::string& s);
// A file name for the text output and messages: control characters and lone
// surrogates as \uXXXX, so a name cannot break or forge a line.
std::string ShowName(const std::u16string& name);

}  // namespace ikw::console
