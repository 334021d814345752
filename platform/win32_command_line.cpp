#include "platform/win32_command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <new>

#include "platform/wide_string.h"

namespace ikw {

std::vector<std::u16string> CommandLineArguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv)
        throw std::bad_alloc();
    std::vector<std::u16string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(FromWide(argv[i]));
    LocalFree(argv);
    return args;
}

}  // namespace ikw
