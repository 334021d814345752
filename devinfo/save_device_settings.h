#pragma once
// The save button of the printer setup dialog: ask for a path and write the
// device info file of the printer and settings the dialog shows, without ever
// damaging a file that is already there.
//
// The core decides everything here; the platform implements the interfaces
// below and only carries out. None of them ends the setup dialog, and all of
// them are called on the user interface thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devinfo/message_boxes.h"
#include "devinfo/name_comparison.h"
#include "devinfo/string_table.h"

namespace ikw {

// ---------------------------------------------------------------------------
// What the platform implements.

// The two records the print dialog's parameter block holds as movable memory.
enum class DialogRecord {
    DeviceSettings,  // hDevMode: the DEVMODEW record
    DeviceNames,     // hDevNames: the DEVNAMES record
};

// A locked record: its bytes stay valid until the matching Unlock.
struct LockedRecord {
    const std::uint8_t* bytes = nullptr;
    std::size_t size = 0;  // the size of the memory block (GlobalSize), not a size the record claims
};

// The parameter block of the setup dialog at the moment of one save. The
// platform brings the block up to date with what the dialog shows before it
// calls SaveDeviceSettings: Windows' dialog keeps the handles current, Wine's
// hands them over only when it ends.
class DialogRecords {
public:
    virtual ~DialogRecords() = default;
    // Locks the record's block (GlobalLock). nullopt when the parameter block
    // holds no handle for it or the lock fails; the core then never calls
    // Unlock for that attempt.
    virtual std::optional<LockedRecord> Lock(DialogRecord record) = 0;
    // Undoes one successful Lock of the same record.
    virtual void Unlock(DialogRecord record) = 0;
};

struct FileFilter {
    std::u16string displayName;  // "device info files(*.dev)"
    std::u16string pattern;      // "*.dev"
};

// What the save dialog is asked to show. Besides these the dialog is in save
// mode, has no title of its own and no starting folder (the platform chooses
// both), accepts file-system paths only and is owned by the setup dialog. It
// is the new-style dialog (IFileSaveDialog), or the classic one
// (GetSaveFileNameW) when the new style cannot be created.
struct SaveFileRequest {
    std::vector<FileFilter> filters;  // in order; the first is preselected; may be empty
    // With its leading dot. IFileDialog::SetDefaultExtension and lpstrDefExt
    // both want the extension without it: the platform drops the dot there.
    std::u16string defaultExtension;
    std::u16string initialFileName;  // may be empty
    // Empty: the platform chooses the folder.
    std::u16string initialFolder;
    bool hideReadOnly = false;     // OFN_HIDEREADONLY
    bool overwritePrompt = false;  // OFN_OVERWRITEPROMPT / FOS_OVERWRITEPROMPT
};

struct SaveDialogAnswer {
    enum class Outcome {
        Chosen,     // path holds the chosen full path
        Cancelled,  // the user closed the dialog without choosing
        Failed,     // neither dialog style could be shown, or its answer not read
    };
    Outcome outcome = Outcome::Cancelled;
    std::u16string path;
};

class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // Runs the dialog modally and tells how it ended.
    virtual SaveDialogAnswer AskForSavePath(const SaveFileRequest& request) = 0;
};

// A file being written. Destroying it closes it if Close was not called,
// ignoring any failure, so a failed save can still remove it.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // True only when every byte was written.
    virtual bool Write(const std::uint8_t* bytes, std::size_t size) = 0;
    // Flushes the file to the disk (FlushFileBuffers) and closes it. False
    // when either fails. Called at most once; nothing is written after it.
    virtual bool Close() = 0;
};

struct NewFile {
    std::unique_ptr<OutputFile> file;  // null when the file was not created
    bool nameTaken = false;            // something already exists at the path (ERROR_FILE_EXISTS)
};

enum class PlaceOutcome {
    Placed,      // the target is the new file
    TargetKept,  // nothing changed: the target is as it was, the source still there
    // ReplaceFileW took the old file away and could not put the new one in
    // its place (ERROR_UNABLE_TO_MOVE_REPLACEMENT), and a plain move failed
    // too: the source is now the only copy of anything.
    TargetLost,
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates a new, empty file for writing, with no sharing, failing when
    // anything exists at the path (CreateFileW with CREATE_NEW). Never opens
    // or truncates an existing file.
    virtual NewFile CreateNewFile(const std::u16string& path) = 0;
    // The file a save to the path replaces: the file at the end of the
    // symbolic links there, or the path itself when it is no link or nothing
    // is there yet.
    virtual std::u16string FileToReplace(const std::u16string& path) = 0;
    // Puts a closed file in the target's place and returns only once that is
    // on the disk. An existing target keeps its attributes and permissions
    // (ReplaceFileW); a new one is the file moved there (MoveFileExW).
    virtual PlaceOutcome PutInPlace(const std::u16string& source, const std::u16string& target) = 0;
    // Deletes a closed file (DeleteFileW). There is nothing left to do when
    // this fails, so it reports nothing.
    virtual void RemoveFile(const std::u16string& path) = 0;
};

struct SavePlatform {
    DialogRecords& records;
    StringTable& strings;
    SaveFileDialog& saveDialog;
    FileSystem& files;
    MessageBoxes& messages;
    const NameComparison& names;  // decides whether the file carries the full name
};

// ---------------------------------------------------------------------------
// What the core provides.

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

// How many bytes of the settings record (DEVMODEW) in the print dialog's live
// state a save may copy: dmSize + dmDriverExtra, read from the record's first
// kMinDmSize bytes, when the size the driver reports for that printer's
// records (DocumentPropertiesW) holds them; nullopt when the record claims
// more, or the driver's size cannot even hold those fields.
std::optional<std::size_t> LiveSettingsRecordSize(const std::uint8_t* header, std::size_t driverRecordSize);

// The longest chosen path the program writes to: the classic limit of 260
// code units with the terminator. Longer paths are refused, never shortened.
inline constexpr std::size_t kMaxSavePathLength = 259;

// The filter list as the string table holds it: display name '|' pattern,
// repeated, and an empty display name (the extra '|') ends the list.
std::vector<FileFilter> ParseFilterList(const std::u16string& filterList);

// The full device name in a DEVNAMES record, found through wDeviceOffset;
// nullopt when the record does not hold a terminated name inside its block.
std::optional<std::u16string> ReadDeviceName(const std::uint8_t* bytes, std::size_t size);

// The name of the attempt-th temporary file (from 0) for writing the target:
// in the same folder, never the target itself, with the attempt number in it
// whatever the cut, and no longer than kMaxSavePathLength, so a target of the
// longest accepted length can be saved. Only where the folder leaves no room
// for the attempt number is it longer.
std::u16string TemporaryPathFor(const std::u16string& target, unsigned attempt);

}  // namespace ikw
