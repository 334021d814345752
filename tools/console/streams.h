#pragma once
// Standard output and standard error for the console tools: a text is written
// whole, or the reason it was not comes back.

#include <functional>
#include <optional>
#include <string>

namespace ikw::console {

// Why a text could not be written whole, or nullopt when it was.
using WriteFailure = std::optional<std::string>;

// The pair a tool writes to; tests put their own in place of the process's.
struct Streams {
    // UTF-8 texts.
    std::function<WriteFailure(const std::string&)> out;
    std::function<void(const std::string&)> err;
};

// The process's standard output and standard error. On Windows a console
// gets UTF-16 through WriteConsoleW, whatever its code page; a pipe or a
// file gets the UTF-8 bytes.
Streams StandardStreams();

// Writes text to standard output; false, after saying why on standard error
// after the tool's prefix ("ikwdev-inspect: "), when it was not written whole.
bool WriteOut(const Streams& streams, const std::string& prefix, const std::string& text);

}  // namespace ikw::console
