// The platform's part of ikwdev-inspect: the command line, opening files and
// writing to the console.

#include <csignal>

#include "tools/console/arguments.h"
#include "tools/console/streams.h"
#include "tools/ikwdev-inspect/run.h"

namespace {

int RunInspector(int argc, const ikw::console::NativeChar* const* argv) {
    // Files are opened by their names as given: on the host a name that is
    // not UTF-8 still opens, even though it shows with its odd bytes escaped.
    // One byte more than the longest valid file is enough to tell it is not
    // one, without reading a large file someone passed by mistake.
    const ikw::inspect::Io io{ikw::console::StandardStreams(), [argv](std::size_t index) {
                                  return ikw::console::ReadRegularFile(argv[index + 1],
                                                                       ikw::kMaxDeviceInfoFileSize + 1);
                              }};
    return static_cast<int>(ikw::inspect::Run(ikw::console::ArgumentsOf(argc, argv), io));
}

}  // namespace

#ifdef _WIN32

// wmain, so that file names outside the ANSI code page reach us intact.
int wmain(int argc, wchar_t** argv) { return RunInspector(argc, argv); }

#else

int main(int argc, char** argv) {
    // A reader that went away is a write error like any other, reported and
    // ending the run with its own status, rather than a silent death by
    // signal, or an exit 0 when whoever started us ignores SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    return RunInspector(argc, argv);
}

#endif
