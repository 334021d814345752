#pragma once
// ikwdev-inspect --diff A B: what differs between two device info files,
// field by field, so a user can check what a save changed.

#include <optional>
#include <string>
#include <vector>

#include "tools/ikwdev-inspect/inspect.h"

namespace ikw::inspect {

// One setting that differs, in a person's words and as JSON values.
struct Difference {
    std::string field;  // the record's own name for it, or the file's
    std::string label;  // what it is to a user: "orientation"
    std::string textA, textB;
    std::string jsonA, jsonB;  // for the private part: its sizes; for public bytes: hex, or null
    std::string jsonMore;      // further members, each with its leading comma
};

// bytesA/bytesB: the whole files, for the parts the decoder does not read
// field by field (the rest of the public part, the driver's private part).
std::vector<Difference> CompareDeviceInfo(const DeviceInfo& a, const std::vector<std::uint8_t>& bytesA,
                                          const DeviceInfo& b, const std::vector<std::uint8_t>& bytesB);

// Whether the difference is in the printer's name (either of the file's two),
// which is no setting of the printer.
bool NamesThePrinter(const Difference& difference);

// The differences for a person, an indented line each ("  orientation
// (dmOrientation): 1 (portrait) -> 2 (landscape)"), and as a JSON array of
// objects.
std::string FormatDifferenceLines(const std::vector<Difference>& list);
std::string FormatJsonDifferences(const std::vector<Difference>& list);

std::string DiffUsage();

// ikwdev-inspect --diff. Same when the files hold the same settings,
// Different when they do not, NotCompared when either file is not a valid
// device info file; WrongUsage and OutputFailed as without --diff.
ExitStatus RunDiff(const std::vector<std::u16string>& args, const Io& io);

}  // namespace ikw::inspect
