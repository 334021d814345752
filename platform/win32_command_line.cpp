#include "platform/win32_command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <new>

#include "framework/unique_handle.h"
#include "platform/wide_string.h"

namespace ikw {

std::vector<std::u16string> CommandLineArguments() {
    int count = 0;
    const fw::UniqueHandle<LPWSTR*, LocalFree> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!argv)
        throw std::bad_alloc();
    std::vector<std::u16string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(FromWide(argv.Get()[i]));
    return args;
}

}  // namespace ikw
