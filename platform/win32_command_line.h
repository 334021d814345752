#pragma once
// The program's command line as Windows splits it.

#include <string>
#include <vector>

namespace ikw {

// The arguments after the program's own name, split by the usual rules
// (CommandLineToArgvW): a path with spaces arrives whole when quoted, as the
// shell quotes it for a double-click or a drop on the icon.
std::vector<std::u16string> CommandLineArguments();

}  // namespace ikw
