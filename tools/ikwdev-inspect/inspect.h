#pragma once
// ikwdev-inspect: shows what a saved .dev file holds, to a person or, with
// --json, to a script. Everything but reading files and writing the output
// lives here, so it runs the same on the host and on Windows. The reading and
// reporting of one file are the comparison's (diff.h) too.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devinfo/device_info_format.h"
#include "tools/console/arguments.h"
#include "tools/console/exit_status.h"
#include "tools/console/streams.h"

namespace ikw::inspect {

std::string Usage();

// Output texts are UTF-8. A name's lone surrogates, control characters,
// quotes and backslashes are escaped, so every name prints on one line
// and a JSON parser gets back exactly the code units the file holds.
std::string FormatText(const std::u16string& file, const DeviceInfo& info);
std::string FormatJson(const std::u16string& file, const DeviceInfo& info);
std::string FormatJsonProblem(const std::u16string& file, const std::string& problem,
                              std::optional<std::size_t> offset);
// "ikwdev-inspect VERSION\n".
std::string VersionText();

using console::ExitStatus;
using console::FileContents;
using console::WriteFailure;

// The standard streams, and the reading of the file an argument names: at
// most kMaxDeviceInfoFileSize + 1 bytes of a regular file (ReadRegularFile).
struct Io : console::Streams {
    std::function<FileContents(std::size_t argIndex)> read;
};

// ikwdev-inspect without --diff. args: the command line without the program
// name, as text for messages; io.read opens the argument of the given index
// the platform's own way. Output that cannot be written ends the run with
// OutputFailed: a script reading a cut-off output must not take it for the
// whole.
ExitStatus RunInspect(const std::vector<std::u16string>& args, const Io& io);

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

}  // namespace ikw::inspect
