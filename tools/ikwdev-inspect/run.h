#pragma once
// ikwdev-inspect's command line: the inspection of files (inspect.h) or, with
// --diff, the comparison of two (diff.h).

#include <string>
#include <vector>

#include "tools/ikwdev-inspect/inspect.h"

namespace ikw::inspect {

// args: the command line without the program name.
ExitStatus Run(const std::vector<std::u16string>& args, const Io& io);

}  // namespace ikw::inspect
