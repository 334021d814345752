#pragma once
// What the program is asked to do by its command line: a double-click on a
// .dev file, or a drop on the program's icon, starts it with that file as its
// one argument.

#include <string>
#include <vector>

namespace ikw {

struct CommandLine {
    enum class Request {
        UsualStart,  // no argument
        OpenFile,    // one argument: the device info file to open
        WrongUsage,  // more than one
    };
    Request request = Request::UsualStart;
    std::u16string file;  // set for OpenFile, exactly as given
};

// args: the arguments without the program's own name. Every single argument
// is taken as a file name, whatever it looks like: a file may well be named
// "-x.dev" or "/?", and an option the program does not have would only make
// a file of that name impossible to open.
CommandLine ParseCommandLine(const std::vector<std::u16string>& args);

// The exit code after the usage message; every other run ends with 0.
inline constexpr int kWrongUsageExitCode = 2;

}  // namespace ikw
