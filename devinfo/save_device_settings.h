#pragma once
// The save button of the printer setup dialog: ask for a path and write the
// device info file of the printer and settings the dialog shows, without ever
// damaging a file that is already there.
//
// The core decides everything here; the platform implements the interfaces
// in devinfo/save_platform.h and only carries out.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "devinfo/save_platform.h"
#include "interfaces/message_boxes.h"

namespace ikw {

// The start of the message for a path the program cannot use, followed
// directly by the path: the same for a file to save and a file to open, and
// the one message kept out of the string table: it reads the same under
// every interface language.
inline const std::u16string kOpenErrorText = u"open error :";

// The device info file a setup dialog is tied to: the one it was opened
// with, then the one each save wrote, and the printer whose settings it
// holds. While the dialog shows that printer, save suggests that file and the
// title names it; on another printer neither does.
struct TiedFile {
    std::u16string path;     // full path; empty when the dialog is tied to no file
    std::u16string printer;  // the full printer name
};

// The tied file's path while the dialog shows shownPrinter; empty otherwise.
std::u16string TiedFileFor(const TiedFile& tied, const std::u16string& shownPrinter);

// Opening the chosen path for writing would truncate it at once, and a failed
// write would then leave a damaged file where the user's good one was. The
// bytes go to a new file beside it instead, which replaces the target only
// once it is whole and on the disk. Every failure is reported in a message
// box, its text from strings; true when the target now holds the bytes.
bool WriteReplacing(FileSystem& files, MessageBoxes& messages, StringTable& strings, const std::u16string& target,
                    const std::vector<std::uint8_t>& bytes);

// One press of the save button. Every failure is reported here in a message
// box, or deliberately not reported (a cancelled dialog), so the caller has
// nothing to check. The setup dialog stays open afterwards.
// tied: the file the dialog is tied to; while it shows that file's printer
// the save dialog starts in its folder, with its name. Returns the tie after
// the save: a dialog tied to a file is tied to the file just written, with
// the printer written, once a save has put one in place; else as it was.
TiedFile SaveDeviceSettings(const SavePlatform& platform, const TiedFile& tied = {});

// The save command of one setup dialog. The dialog is disabled while a save
// runs, yet accessibility and automation tools send commands to disabled
// windows: a save begun inside another would open a second save dialog and
// take the records from under the first.
class OneSaveAtATime {
public:
    // Runs the save unless one is running already; then it does nothing.
    void Run(const std::function<void()>& save);

private:
    bool m_running = false;
};

// The longest chosen path the program writes to: the classic limit of 260
// code units with the terminator. Longer paths are refused, never shortened.
inline constexpr std::size_t kMaxSavePathLength = 259;

// The filter list as the string table holds it: display name '|' pattern,
// repeated, and an empty display name (the extra '|') ends the list.
std::vector<FileFilter> ParseFilterList(const std::u16string& filterList);

// The name of the attempt-th temporary file (from 0) for writing the target:
// in the same folder, never the target itself, with the attempt number in it
// whatever the cut, and no longer than kMaxSavePathLength, so a target of the
// longest accepted length can be saved. Only where the folder leaves no room
// for the attempt number is it longer.
std::u16string TemporaryPathFor(const std::u16string& target, unsigned attempt);

}  // namespace ikw
