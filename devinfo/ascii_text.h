#pragma once
// ASCII text made UTF-16, as the core's strings are: the decoder's reasons,
// setting names and numbers that go into messages and file names.

#include <string>

namespace ikw {

inline std::u16string WidenAscii(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace ikw
