#pragma once
// ikwdev-settings: records a printer's settings in a device info file, and
// makes a file's settings a printer's defaults, from a script. It goes through
// the same core as the dialog: the encoder and the safe replace of a save, and
// the checks and driver merge of an open. Everything but the Win32 calls lives
// here, so it is tested on the host.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/open_device_info.h"
#include "devinfo/save_device_settings.h"
#include "interfaces/print_services.h"
#include "tools/console/exit_status.h"
#include "tools/console/streams.h"

namespace ikw::settings {

// As ikwdev-inspect's: Done, SomeFailed (each failure says why), WrongUsage
// or OutputFailed.
using ExitStatus = console::ExitStatus;

// Windows keeps two sets of default settings for a printer: each user's own
// (this user's printing preferences, PRINTER_INFO_9), which win for that
// user, and the printer's printing defaults shared by every user
// (PRINTER_INFO_8), which a user without preferences of their own starts from.
enum class DefaultsScope {
    ThisUser,  // level 9: this user's printing preferences
    AllUsers,  // level 8: the printer's printing defaults, whose change needs the right to manage the printer
};

enum class SetOutcome {
    Set,
    AccessDenied,  // the printer would not open for that scope with this user's rights
    Failed,
};

// What the spooler holds at one level, as a new program reads it.
struct StoredDefaults {
    bool readable = false;                            // false: the spooler would not say
    std::optional<std::vector<std::uint8_t>> record;  // whole; nullopt: nothing is stored at that level
};

// What the tool carries out beyond an open's reading and merging
// (DeviceInfoPlatform) and a save's writing (FileSystem).
class PrinterDefaults {
public:
    virtual ~PrinterDefaults() = default;
    // Makes the record, whole, the printer's default settings for the scope.
    // Never touches which printer is the system default.
    virtual SetOutcome SetDefaults(const std::u16string& printer, const std::vector<std::uint8_t>& record,
                                   DefaultsScope scope) = 0;
    // The record stored for the scope (GetPrinterW level 9 or 8).
    virtual StoredDefaults ReadDefaults(const std::u16string& printer, DefaultsScope scope) = 0;
    // The same, as a program started after the settings were set reads it:
    // a driver may put its own values over the stored ones when a process
    // first uses the printer, which this process did before it set them.
    virtual StoredDefaults ReadBack(const std::u16string& printer, DefaultsScope scope) {
        return ReadDefaults(printer, scope);
    }
    // Removes this user's printing preferences for the printer (level 9 set
    // with no record), so that the printer's printing defaults apply again.
    virtual SetOutcome RemoveUserPreferences(const std::u16string& printer) = 0;
    // Makes the folder (not its parents) unless it is there; false when it is
    // not there afterwards.
    virtual bool MakeFolder(const std::u16string& folder) = 0;
};

struct Platform {
    PrintServices& spooler;
    DeviceInfoPlatform& devices;  // full paths, file reading, the driver's record and merge
    FileSystem& files;
    PrinterDefaults& defaults;
    console::Streams console;
};

// args: the command line without the program name.
ExitStatus Run(const std::vector<std::u16string>& args, Platform& platform);

std::string Usage();

// The file names capture --all gives the printers, in their order: the save
// dialog's suggestion for each, made a name every Windows folder takes, and
// numbered where two would be one file, so that no capture overwrites
// another's. sameName: the spooler's comparison of printer names, which is
// the file system's of file names too: ordinal, without regard to case over
// all of Unicode ("Büro.dev" and "BÜRO.dev" are one file).
std::vector<std::u16string> CaptureFileNames(const std::vector<std::u16string>& printers,
                                             const PrinterNameMatch& sameName);

}  // namespace ikw::settings
