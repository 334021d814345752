#include "app/command_line.h"

namespace ikw {

CommandLine ParseCommandLine(const std::vector<std::u16string>& args) {
    CommandLine parsed;
    if (args.size() == 1) {
        parsed.request = CommandLine::Request::OpenFile;
        parsed.file = args.front();
    } else if (args.size() > 1) {
        parsed.request = CommandLine::Request::WrongUsage;
    }
    return parsed;
}

}  // namespace ikw
