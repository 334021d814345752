// The platform's part of ikwdev-settings: the command line, the spooler, the
// files and the console.

#include <windows.h>

#include <cwchar>

#include "platform/win32_device_info_files.h"
#include "platform/win32_print_services.h"
#include "platform/win32_save_services.h"
#include "tools/ikwdev-inspect/console_output.h"
#include "tools/ikwdev-settings/settings.h"
#include "tools/ikwdev-settings/win32_printer_defaults.h"

// wmain, so that printer and file names outside the ANSI code page reach us
// intact.
int wmain(int argc, wchar_t** argv) {
    // apply's read-back, in a process of its own (see Win32PrinterDefaults::ReadBack).
    if (argc == 4 && std::wcscmp(argv[1], ikw::settings::kReadBackCommand) == 0)
        return ikw::settings::WriteDefaultsAsANewProgramReadsThem(argv[2], argv[3]);
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    ikw::Win32PrintServices spooler;
    ikw::Win32DeviceInfoFiles devices;
    ikw::Win32FileSystem files;
    ikw::settings::Win32PrinterDefaults defaults;
    ikw::settings::Platform platform{
        spooler,
        devices,
        files,
        defaults,
        {[](const std::string& text) { return ikw::inspect::WriteToStandardHandle(STD_OUTPUT_HANDLE, stdout, text); },
         [](const std::string& text) { ikw::inspect::WriteToStandardHandle(STD_ERROR_HANDLE, stderr, text); }},
    };
    return static_cast<int>(ikw::settings::Run(args, platform));
}
