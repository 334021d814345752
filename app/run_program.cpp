#include "app/run_program.h"

#include "app/command_line.h"

namespace ikw {

namespace {

const std::u16string kUsageText =
    u"usage : IKWDev [FILE]\n"
    u"Without FILE the printer setup opens on the default printer; with a device info file (.dev) it opens on "
    u"the file's printer and settings.";

}  // namespace

int RunProgram(const std::vector<std::u16string>& args, PrintServices& printServices, DeviceInfoPlatform& platform,
               OpenedFileDialogHost& dialogs, MessageBoxes& messages) {
    const CommandLine commandLine = ParseCommandLine(args);
    switch (commandLine.request) {
    case CommandLine::Request::WrongUsage:
        messages.ShowMessage(kUsageText, MessageIcon::Exclamation);
        return kWrongUsageExitCode;
    case CommandLine::Request::OpenFile:
        // A file that cannot be opened has been reported; the user still
        // gets the dialog, as on any other start.
        if (OpenDeviceInfoFile(commandLine.file, printServices, platform, dialogs, messages)) {
            dialogs.DestroySetupDialog();
            return 0;
        }
        break;
    case CommandLine::Request::UsualStart:
        break;
    }
    RunStartUp(printServices, dialogs, messages);
    return 0;
}

}  // namespace ikw
