#include "tools/ikwdev-inspect/run.h"

#include "tools/ikwdev-inspect/diff.h"

namespace ikw::inspect {
namespace {

// Whether the command line asks for a comparison: --diff before any "--".
bool IsDiffRequest(const std::vector<std::u16string>& args) {
    for (const std::u16string& arg : args) {
        if (arg == u"--")
            return false;
        if (arg == u"--diff")
            return true;
    }
    return false;
}

}  // namespace

ExitStatus Run(const std::vector<std::u16string>& args, const Io& io) {
    return IsDiffRequest(args) ? RunDiff(args, io) : RunInspect(args, io);
}

}  // namespace ikw::inspect
