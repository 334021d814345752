#pragma once
// The file name the save dialog starts with, taken from the printer's name.

#include <cstddef>
#include <string>

namespace ikw {

// The device name split as a path, the way the classic C runtime split does it:
// a drive when the second character is a colon, a directory up to and
// including the last '\' or '/', an extension from the last '.' after that
// directory. What remains is the suggestion: "Label.Printer" gives "Label",
// "\\server\queue.x" gives "queue". A remaining component of 260 or more
// characters gives an empty suggestion, because the split into a 260-unit
// buffer fails for it.
std::u16string SuggestFileName(const std::u16string& deviceName);

// Where the file-name component of a path begins: after the drive and the
// directory, split as above. path.size() when the path ends in a separator.
std::size_t FileNameStart(const std::u16string& path);

// Whether Windows opens a device, not a file, for this file name (the last
// component of a path): the part before the first dot, with the spaces at
// its end dropped, is CON, PRN, AUX, NUL, CONIN$, CONOUT$, or COM or LPT
// followed by one digit or a superscript 1, 2 or 3, in any letter case.
// "NUL.x.dev" is a device as much as "NUL" is.
bool IsDeviceName(const std::u16string& fileName);

}  // namespace ikw
