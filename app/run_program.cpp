#include "app/run_program.h"

#include "app/command_line.h"
#include "devinfo/message_texts.h"

namespace ikw {

int RunProgram(const std::vector<std::u16string>& args, PrintServices& printServices, DeviceInfoPlatform& platform,
               OpenedFileDialogHost& dialogs, MessageBoxes& messages, StringTable& strings) {
    const CommandLine commandLine = ParseCommandLine(args);
    switch (commandLine.request) {
    case CommandLine::Request::WrongUsage:
        messages.ShowMessage(ComposeMessage(strings, IDS_USAGE), MessageIcon::Exclamation);
        return kWrongUsageExitCode;
    case CommandLine::Request::OpenFile:
        // A file that cannot be opened has been reported; the user still
        // gets the dialog, as on any other start.
        if (OpenDeviceInfoFile(commandLine.file, printServices, platform, dialogs, messages, strings)) {
            dialogs.DestroySetupDialog();
            return 0;
        }
        break;
    case CommandLine::Request::UsualStart:
        break;
    }
    RunStartUp(printServices, dialogs, messages, strings);
    return 0;
}

}  // namespace ikw
