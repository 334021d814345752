#pragma once
// Opening a saved device info file: the setup dialog comes up on the printer
// the file names, with the file's settings, so a user can review them, change
// what is needed and save again. A file that cannot be used is reported and
// the usual start follows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "devinfo/record_fitting.h"
#include "interfaces/device_info_platform.h"
#include "interfaces/message_boxes.h"
#include "interfaces/print_services.h"
#include "interfaces/string_table.h"

namespace ikw {

// What the setup dialog starts from when a file is open.
struct OpenedDeviceInfo {
    std::u16string file;               // the full path: saves suggest its folder and name
    std::u16string printer;            // the printer the file names
    std::vector<std::uint8_t> record;  // the settings record (DEVMODEW), whole
};

// The setup dialog, also with a file's settings.
class OpenedFileDialogHost : public SetupDialogHost {
public:
    // Like RunSetupDialog, with the opened record and printer as the
    // dialog's starting settings and the file named in its title. The system
    // default printer is neither asked for nor changed.
    virtual bool RunSetupDialogWith(const OpenedDeviceInfo& opened) = 0;
};

// The read file as the core judges it: what to open, or the message that
// explains why it cannot be (then nothing is opened).
struct OpenDecision {
    std::optional<OpenedDeviceInfo> open;
    std::u16string message;
};

// The installed printer a name stands for, spelt as the spooler lists it;
// nullopt when none is. installed: the names of the printers a file may name
// (local printers and connections), matched as the spooler matches names,
// without regard to case.
std::optional<std::u16string> FindInstalledPrinter(const std::u16string& printer,
                                                   const std::vector<std::u16string>& installed,
                                                   const PrinterNameMatch& names);

// contents: nullopt when the file could not be read. installed and names as
// for FindInstalledPrinter; the open then uses the installed printer's own
// spelling. strings: where the message's texts come from. wantedPrinter:
// the printer the record is meant for, or empty for the one the file names.
OpenDecision DecideOpen(const std::u16string& file, const std::optional<std::vector<std::uint8_t>>& contents,
                        const std::vector<std::u16string>& installed, const PrinterNameMatch& names,
                        StringTable& strings, const std::u16string& wantedPrinter = {});

// What the user is told at the open when the fitted record lost anything of
// the file's settings, with the printer and the file named; empty when
// nothing was lost.
std::u16string FittingLossMessage(const FittedRecord& fitted, const std::u16string& printer, const std::u16string& file,
                                  StringTable& strings);

// Read, judge and merge through the printer's driver: the settings an open
// starts the dialog from, and the ones ikwdev-settings apply makes the
// printer's defaults. nullopt after a message, a printer list that could not
// be had among them. The messages' texts come from strings. wantedPrinter as
// for DecideOpen. whatFollows: a line that ends each message of a file that
// was not opened (but "open error :"), saying what happens next; empty for
// none.
std::optional<OpenedDeviceInfo> ReadThroughDriver(const std::u16string& file, PrintServices& printServices,
                                                  DeviceInfoPlatform& platform, MessageBoxes& messages,
                                                  StringTable& strings, const std::u16string& wantedPrinter = {},
                                                  const std::u16string& whatFollows = {});

// The whole open: ReadThroughDriver, then the dialog.
// True when the dialog was shown; false after a message, when the usual start
// is to follow.
bool OpenDeviceInfoFile(const std::u16string& file, PrintServices& printServices, DeviceInfoPlatform& platform,
                        OpenedFileDialogHost& dialogs, MessageBoxes& messages, StringTable& strings);

}  // namespace ikw
