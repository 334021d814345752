#pragma once
// The program from its command line to its end: the usual start, a device
// info file opened for review, or the usage.

#include <string>
#include <vector>

#include "app/open_device_info.h"

namespace ikw {

// args: the command line without the program's own name. Returns the exit
// code. With no argument the run is exactly the usual start.
// messages: for every report of the run (usage, an unusable file, the
// default printer), in the language of strings.
int RunProgram(const std::vector<std::u16string>& args, PrintServices& printServices, DeviceInfoPlatform& platform,
               OpenedFileDialogHost& dialogs, MessageBoxes& messages, StringTable& strings);

}  // namespace ikw
