#pragma once
// What the save talks through: the platform implements these interfaces and
// only carries out what the core decides. None of them ends the setup
// dialog, and all of them are called on the user interface thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "interfaces/message_boxes.h"
#include "interfaces/name_comparison.h"
#include "interfaces/string_table.h"

namespace ikw {

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
    // Nothing stood at the target when the save looked, yet its name is
    // taken now: something was made there meanwhile, or it is a symbolic
    // link to nothing, which Wine shows as nothing at all. Nothing changed.
    NameTaken,
};

// What stands at a path a save would write to. Only Nothing and DiskFile may
// be written; everything else is left as it is.
enum class PathHolds {
    Nothing,        // no file, folder or link by that name
    DiskFile,       // a file on a disk that this user may replace
    ReadOnlyFile,   // a file with the read-only attribute
    FileInUse,      // a file another program holds open without letting it be replaced
    FileDenied,     // a file this user may not replace
    Folder,         // a folder, or a link to one
    Device,         // a device (a console, a port), not a file on a disk
    Pipe,           // a named pipe
    LinkToNothing,  // a symbolic link whose target does not exist
    Unknown,        // something that could not be opened to be told, for no reason above
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates a new, empty file for writing, with no sharing, failing when
    // anything exists at the path (CreateFileW with CREATE_NEW). Never opens
    // or truncates an existing file.
    virtual NewFile CreateNewFile(const std::u16string& path) = 0;
    // What stands at the path, found without creating, opening for writing
    // or moving anything. Links are followed, but a link to nothing is told
    // apart from nothing.
    virtual PathHolds WhatIsAt(const std::u16string& path) = 0;
    // The file a save to the path replaces: the file at the end of the
    // symbolic links there, or the path itself when it is no link or nothing
    // is there yet.
    virtual std::u16string FileToReplace(const std::u16string& path) = 0;
    // Puts a closed file in the target's place and returns only once that is
    // on the disk. An existing target keeps its attributes and permissions
    // (ReplaceFileW); a new one is the file moved there (MoveFileExW), and
    // never over anything that took the name meanwhile (NameTaken).
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

}  // namespace ikw
