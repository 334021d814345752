// The platform's part of ikwdev-settings: the command line, the spooler, the
// files and the console.

#include <windows.h>

#include <cwchar>

#include "platform/win32_device_info_files.h"
#include "platform/win32_print_services.h"
#include "platform/win32_save_services.h"
#include "tools/console/arguments.h"
#include "tools/console/streams.h"
#include "tools/ikwdev-settings/settings.h"
#include "tools/ikwdev-settings/win32/printer_defaults.h"

// wmain, so that printer and file names outside the ANSI code page reach us
// intact.
int wmain(int argc, wchar_t** argv) {
    // apply's read-back, in a process of its own (see Win32PrinterDefaults::ReadBack).
    if (argc == 4 && std::wcscmp(argv[1], ikw::settings::kReadBackCommand) == 0)
        return ikw::settings::WriteDefaultsAsANewProgramReadsThem(argv[2], argv[3]);
    ikw::Win32PrintServices spooler;
    ikw::Win32DeviceInfoFiles devices;
    ikw::Win32FileSystem files;
    ikw::settings::Win32PrinterDefaults defaults;
    ikw::settings::Platform platform{
        spooler, devices, files, defaults, ikw::console::StandardStreams(),
    };
    return static_cast<int>(ikw::settings::Run(ikw::console::ArgumentsOf(argc, argv), platform));
}
