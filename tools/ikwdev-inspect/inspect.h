#pragma once
// ikwdev-inspect: shows what a saved .dev file holds, to a person or, with
// --json, to a script. Everything but reading files and writing the output
// lives here, so it runs the same on the host and on Windows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devinfo/device_info_format.h"

namespace ikw::inspect {

// A file that cannot be read at all (missing, no regular file, a read error)
// is CannotRead, with --diff or without: no statement about its contents.
enum class ExitStatus { AllValid = 0, SomeInvalid = 1, WrongUsage = 2, OutputFailed = 2, CannotRead = 2 };

// The version of the JSON shapes the inspector writes, in every object as
// "format"; it grows when a member changes meaning or goes away.
inline constexpr int kJsonFormat = 1;

struct Arguments {
    bool json = false;
    bool help = false;
    bool version = false;
    std::vector<std::size_t> files;  // indices into the argument list
};

// args: the command line without the program name. nullopt on wrong usage,
// with the reason in error.
std::optional<Arguments> ParseArguments(const std::vector<std::u16string>& args, std::string& error);

std::string Usage();

// Output texts are UTF-8. A name's lone surrogates, control characters,
// quotes and backslashes are escaped, so every name prints on one line
// and a JSON parser gets back exactly the code units the file holds.
std::string FormatText(const std::u16string& file, const DeviceInfo& info);
std::string FormatJson(const std::u16string& file, const DeviceInfo& info);
std::string FormatJsonProblem(const std::u16string& file, const std::string& problem,
                              std::optional<std::size_t> offset);
// The members that describe one file's problem, without braces: the one
// shape for the per-file object and for the diff's "problems" list.
std::string JsonProblemMembers(const std::u16string& file, const std::string& problem,
                               std::optional<std::size_t> offset);
// "ikwdev-inspect VERSION\n".
std::string VersionText();

struct FileContents {
    std::vector<std::uint8_t> bytes;   // at most kMaxDeviceInfoFileSize + 1 bytes
    std::optional<std::string> error;  // why the file could not be read
};

// Why a text could not be written whole, or nullopt when it was.
using WriteFailure = std::optional<std::string>;

struct Io {
    // Only regular files are read: a FIFO would block the run and a
    // directory or device holds no device info file.
    std::function<FileContents(std::size_t argIndex)> read;
    std::function<WriteFailure(const std::string&)> out;
    std::function<void(const std::string&)> err;
};

// args: the command line without the program name, as text for messages;
// io.read opens the argument of the given index the platform's own way.
// Output that cannot be written ends the run with OutputFailed: a script
// reading a cut-off output must not take it for the whole.
ExitStatus Run(const std::vector<std::u16string>& args, const Io& io);

// Writes to standard output; false (after saying why on standard error)
// when the text could not be written whole.
bool WriteOut(const Io& io, const std::string& text);

// One file read and checked: its bytes and what they hold, or the problem
// (with the byte offset where it lies, when the decoder names one).
struct ReadResult {
    std::vector<std::uint8_t> bytes;
    std::optional<DeviceInfo> info;
    std::optional<std::string> problem;
    std::optional<std::size_t> offset;
    bool cannotRead = false;  // the problem is that the file could not be read, not what it holds
};
ReadResult ReadDeviceInfo(const Io& io, std::size_t argIndex);
// The problem on standard error, and as a JSON object on standard output
// when json is set; false when that output could not be written.
bool ReportProblem(const Io& io, const std::u16string& file, const ReadResult& read, bool json);
// What the decoder found doubtful in a valid file, on standard error.
void ReportWarnings(const Io& io, const std::u16string& file, const DeviceInfo& info);

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

}  // namespace ikw::inspect
