#include "devinfo/save_device_settings.h"

#include <algorithm>
#include <string>

#include "devinfo/ascii_text.h"
#include "devinfo/device_info_format.h"
#include "devinfo/device_records.h"
#include "devinfo/file_name_suggestion.h"
#include "devinfo/little_endian.h"
#include "devinfo/message_texts.h"
#include "res/resource.h"

namespace ikw {

namespace {

const std::u16string kDefaultExtension = u".dev";

// A leftover file by the first name (a save cut off by a power failure, or
// another copy of the program saving to the same folder) must not stop every
// later save to that path.
constexpr unsigned kTemporaryNameAttempts = 10;

// Keeps one record locked for as long as it lives, so that every path out of
// a save, the failures included, unlocks what it locked.
class RecordLock {
public:
    RecordLock(DialogRecords& records, DialogRecord record)
        : m_records(records), m_record(record), m_locked(records.Lock(record)) {}
    ~RecordLock() {
        if (m_locked)
            m_records.Unlock(m_record);
    }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    explicit operator bool() const { return m_locked.has_value(); }
    const LockedRecord* operator->() const { return &*m_locked; }

private:
    DialogRecords& m_records;
    DialogRecord m_record;
    std::optional<LockedRecord> m_locked;
};

// The full device name, or nullopt when there is no names record, it could
// not be locked or it holds no readable name.
std::optional<std::u16string> DeviceNameIn(const RecordLock& names) {
    if (!names)
        return std::nullopt;
    return ReadDeviceName(names->bytes, names->size);
}

// The printer the dialog shows, by its full name; empty when the names
// record cannot be read.
std::u16string ShownPrinter(DialogRecords& records) {
    const RecordLock names(records, DialogRecord::DeviceNames);
    return DeviceNameIn(names).value_or(u"");
}

unsigned TextFor(EncodeFailure failure) {
    switch (failure) {
    case EncodeFailure::RecordExceedsBlock:
    case EncodeFailure::RecordTooSmall:
        return IDS_DAMAGED_SETTINGS;
    case EncodeFailure::FullNameTooLong:
        return IDS_NAME_TOO_LONG;
    }
    return IDS_DAMAGED_SETTINGS;
}

// Why a save may not write over what stands at the path; nullopt when it may.
std::optional<unsigned> RefusalFor(PathHolds holds) {
    switch (holds) {
    case PathHolds::Nothing:
    case PathHolds::DiskFile:
        return std::nullopt;
    case PathHolds::ReadOnlyFile:
        return IDS_REASON_TARGET_READ_ONLY;
    case PathHolds::FileInUse:
        return IDS_REASON_TARGET_IN_USE;
    case PathHolds::FileDenied:
        return IDS_REASON_TARGET_DENIED;
    case PathHolds::Folder:
        return IDS_REASON_TARGET_FOLDER;
    case PathHolds::Device:
        return IDS_REASON_TARGET_DEVICE;
    case PathHolds::Pipe:
        return IDS_REASON_TARGET_PIPE;
    case PathHolds::LinkToNothing:
        return IDS_REASON_TARGET_DANGLING_LINK;
    case PathHolds::Unknown:
        return IDS_REASON_NOT_REPLACED;
    }
    return IDS_REASON_NOT_REPLACED;
}

// The path as the user chose it, and why nothing was written there.
void ShowOpenError(MessageBoxes& messages, StringTable& strings, const std::u16string& target, unsigned reason) {
    messages.ShowMessage(kOpenErrorText + target + u"\n" + ComposeMessage(strings, reason), MessageIcon::Exclamation);
}

}  // namespace

bool WriteReplacing(FileSystem& files, MessageBoxes& messages, StringTable& strings, const std::u16string& target,
                    const std::vector<std::uint8_t>& bytes) {
    if (FileNameStart(target) == target.size()) {
        messages.ShowMessage(kOpenErrorText + target, MessageIcon::Exclamation);
        return false;
    }

    // Windows opens the device for such a name wherever the folder is, and
    // the new file would be made beside a console or a port.
    if (IsDeviceName(target.substr(FileNameStart(target)))) {
        ShowOpenError(messages, strings, target, IDS_REASON_TARGET_DEVICE);
        return false;
    }
    // Through a symbolic link the file it points to is replaced, and the
    // link stays; the new file is written beside that file, on its volume.
    // What is no file that may be replaced is refused before anything is
    // made: a replace would move a folder aside, and a device or a pipe
    // would be written to, or taken away.
    const std::u16string replaced = files.FileToReplace(target);
    if (const std::optional<unsigned> refusal = RefusalFor(files.WhatIsAt(replaced))) {
        ShowOpenError(messages, strings, target, *refusal);
        return false;
    }
    std::u16string temporary;
    std::unique_ptr<OutputFile> file;
    for (unsigned attempt = 0; attempt < kTemporaryNameAttempts && !file; ++attempt) {
        temporary = TemporaryPathFor(replaced, attempt);
        NewFile created = files.CreateNewFile(temporary);
        file = std::move(created.file);
        if (!file && !created.nameTaken)
            break;
    }
    if (!file) {
        ShowOpenError(messages, strings, target, IDS_REASON_CANNOT_CREATE);
        return false;
    }

    const bool written = file->Write(bytes.data(), bytes.size()) && file->Close();
    // Closes the file if the write failed, so that it can be removed.
    file.reset();
    if (!written) {
        files.RemoveFile(temporary);
        messages.ShowMessage(ComposeMessage(strings, IDS_WRITE_ERROR, {target}), MessageIcon::Stop);
        return false;
    }
    switch (files.PutInPlace(temporary, replaced)) {
    case PlaceOutcome::Placed:
        return true;
    case PlaceOutcome::TargetKept:
        files.RemoveFile(temporary);
        // The target changed after the check, or the platform refused for a
        // reason of its own: said as well as it can be told now.
        ShowOpenError(messages, strings, target,
                      RefusalFor(files.WhatIsAt(replaced)).value_or(IDS_REASON_NOT_REPLACED));
        return false;
    case PlaceOutcome::NameTaken:
        files.RemoveFile(temporary);
        ShowOpenError(messages, strings, target, IDS_REASON_NAME_TAKEN);
        return false;
    case PlaceOutcome::TargetLost:
        // The temporary file is all that is left: removing it would lose the
        // old settings and the new ones alike.
        messages.ShowMessage(ComposeMessage(strings, IDS_REPLACE_ERROR, {target, temporary}), MessageIcon::Stop);
        return false;
    }
    return false;
}

std::vector<FileFilter> ParseFilterList(const std::u16string& filterList) {
    std::vector<FileFilter> filters;
    std::size_t at = 0;
    // Reads one '|'-ended field; the last field may lack its '|'.
    auto nextField = [&]() {
        const std::size_t end = std::min(filterList.find(u'|', at), filterList.size());
        std::u16string field = filterList.substr(at, end - at);
        at = std::min(end + 1, filterList.size());
        return field;
    };
    while (at < filterList.size()) {
        std::u16string displayName = nextField();
        std::u16string pattern = nextField();
        // The list ends at an empty display name; a name without a pattern
        // offers nothing to match.
        if (displayName.empty() || pattern.empty())
            break;
        filters.push_back({std::move(displayName), std::move(pattern)});
    }
    return filters;
}

std::u16string TemporaryPathFor(const std::u16string& target, unsigned attempt) {
    const std::size_t nameStart = FileNameStart(target);
    const std::u16string folder = target.substr(0, nameStart);
    const std::u16string name = target.substr(nameStart);

    // The temporary name begins with a character the target's name does not,
    // so it differs from the target even when cut short below.
    const char16_t mark = !name.empty() && name[0] == u'~' ? u'_' : u'~';
    std::u16string prefix(1, mark);
    if (attempt > 0)
        prefix += WidenAscii(std::to_string(attempt)) + mark;
    std::u16string rest = name + u".tmp";

    // Windows refuses longer paths unless the program opts into long paths,
    // and the target itself may be of the longest accepted length. Only the
    // name is cut, never the attempt number: cut to the same text, every
    // attempt would meet the one leftover file the first attempt met.
    const std::size_t used = folder.size() + prefix.size();
    rest.resize(std::min(rest.size(), used < kMaxSavePathLength ? kMaxSavePathLength - used : 0));
    return folder + prefix + rest;
}

void OneSaveAtATime::Run(const std::function<void()>& save) {
    if (m_running)
        return;
    m_running = true;
    // A save that throws (out of memory) must not block every later one.
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{m_running};
    save();
}

std::u16string TiedFileFor(const TiedFile& tied, const std::u16string& shownPrinter) {
    return !tied.path.empty() && tied.printer == shownPrinter ? tied.path : std::u16string();
}

TiedFile SaveDeviceSettings(const SavePlatform& platform, const TiedFile& tied) {
    // The platform leaves the settings out when the driver gave none for the
    // printer shown, or gave a record it cannot vouch for: a save button that
    // did nothing would look like a save.
    const RecordLock settings(platform.records, DialogRecord::DeviceSettings);
    if (!settings) {
        platform.messages.ShowMessage(ComposeMessage(platform.strings, IDS_NO_SETTINGS), MessageIcon::Stop);
        return tied;
    }

    SaveFileRequest request;
    request.filters = ParseFilterList(platform.strings.Load(IDS_DEVICE_INFO_FILTER));
    request.defaultExtension = kDefaultExtension;
    // A user who opened a file is most likely saving it again: the save
    // dialog's question then confirms the replacement. Once the dialog shows
    // another printer, that file holds another printer's settings, and
    // suggesting it would invite the user to overwrite them.
    const std::u16string shownPrinter = ShownPrinter(platform.records);
    const std::u16string tiedFile = TiedFileFor(tied, shownPrinter);
    if (tiedFile.empty()) {
        request.initialFileName = SuggestFileName(shownPrinter);
    } else {
        const std::size_t nameStart = FileNameStart(tiedFile);
        request.initialFolder = tiedFile.substr(0, nameStart);
        request.initialFileName = tiedFile.substr(nameStart);
    }
    request.hideReadOnly = true;
    request.overwritePrompt = true;
    const SaveDialogAnswer answer = platform.saveDialog.AskForSavePath(request);
    if (answer.outcome == SaveDialogAnswer::Outcome::Failed) {
        // Otherwise indistinguishable from a cancel: the user pressed save
        // and would see nothing happen.
        platform.messages.ShowMessage(ComposeMessage(platform.strings, IDS_SAVE_DIALOG_FAILED), MessageIcon::Stop);
        return tied;
    }
    if (answer.outcome != SaveDialogAnswer::Outcome::Chosen)
        return tied;
    const std::u16string& path = answer.path;
    if (path.size() > kMaxSavePathLength) {
        platform.messages.ShowMessage(ComposeMessage(platform.strings, IDS_PATH_TOO_LONG, {path}),
                                      MessageIcon::Exclamation);
        return tied;
    }

    // Encoded before any file is created, so a record that cannot be saved
    // leaves nothing behind. The names record stays locked until the save is
    // over, like the settings record.
    const RecordLock names(platform.records, DialogRecord::DeviceNames);
    const std::optional<std::u16string> fullName = DeviceNameIn(names);
    const EncodeResult encoded =
        EncodeDeviceInfo(settings->bytes, settings->size, fullName ? &*fullName : nullptr, platform.names);
    if (encoded.failure) {
        platform.messages.ShowMessage(ComposeMessage(platform.strings, TextFor(*encoded.failure)), MessageIcon::Stop);
        return tied;
    }
    if (!WriteReplacing(platform.files, platform.messages, platform.strings, path, encoded.bytes) || tied.path.empty())
        return tied;
    // The file just written is the one the title names and the next save
    // suggests, whatever its name or printer.
    return TiedFile{path, fullName.value_or(shownPrinter)};
}

}  // namespace ikw
