#include "platform/win32_save_services.h"

#include "framework/file.h"
#include "framework/unique_handle.h"
#include "platform/wide_string.h"

namespace ikw {

HGLOBAL Win32DialogRecords::HandleOf(DialogRecord record) const {
    return record == DialogRecord::DeviceSettings ? m_devMode : m_devNames;
}

std::optional<LockedRecord> Win32DialogRecords::Lock(DialogRecord record) {
    const HGLOBAL handle = HandleOf(record);
    if (!handle)
        return std::nullopt;
    const void* bytes = GlobalLock(handle);
    if (!bytes)
        return std::nullopt;
    return LockedRecord{static_cast<const std::uint8_t*>(bytes), GlobalSize(handle)};
}

void Win32DialogRecords::Unlock(DialogRecord record) { GlobalUnlock(HandleOf(record)); }

namespace {

// Final paths may be longer than the classic limit.
constexpr DWORD kLongPathUnits = 32768;

// "\\?\C:\x" is "C:\x", and "\\?\UNC\server\share" is "\\server\share".
std::wstring WithoutLongPathPrefix(const std::wstring& path) {
    if (path.compare(0, 8, LR"(\\?\UNC\)") == 0)
        return LR"(\\)" + path.substr(8);
    if (path.compare(0, 4, LR"(\\?\)") == 0)
        return path.substr(4);
    return path;
}

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(std::unique_ptr<fw::File> file) : m_file(std::move(file)) {}
    bool Write(const std::uint8_t* bytes, std::size_t size) override {
        try {
            m_file->Write(bytes, size);
            return true;
        } catch (const fw::FileException&) {
            return false;
        }
    }
    bool Close() override {
        try {
            m_file->Close();
            return true;
        } catch (const fw::FileException&) {
            return false;
        }
    }

private:
    std::unique_ptr<fw::File> m_file;
};

}  // namespace

NewFile Win32FileSystem::CreateNewFile(const std::u16string& path) {
    auto file = std::make_unique<fw::File>();
    if (!file->OpenForWriting(ToWide(path), CREATE_NEW))
        return {nullptr, file->LastError() == ERROR_FILE_EXISTS || file->LastError() == ERROR_ALREADY_EXISTS};
    return {std::make_unique<Win32OutputFile>(std::move(file)), false};
}

namespace {

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsNotFound(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// What an open for deleting says of a file it could not open.
PathHolds RefusedFile(DWORD error, DWORD attributes) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return PathHolds::FileInUse;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return PathHolds::ReadOnlyFile;
    return error == ERROR_ACCESS_DENIED ? PathHolds::FileDenied : PathHolds::Unknown;
}

}  // namespace

PathHolds Win32FileSystem::WhatIsAt(const std::u16string& path) {
    const std::wstring wide = ToWide(path);
    // The attributes are those of a link itself, not of its target. Wine
    // fails them for a named pipe or a FIFO of the host, so only "not found"
    // ends the look here.
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    const DWORD attributesError = GetLastError();
    if (attributes == INVALID_FILE_ATTRIBUTES && IsNotFound(attributesError))
        return PathHolds::Nothing;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return PathHolds::Folder;

    // The access a replace needs: another program that holds the file open
    // without sharing its deletion refuses it, as it would refuse the
    // replace, and nothing is read or written. The open follows links.
    const fw::KernelHandle file(CreateFileW(wide.c_str(), DELETE, kShareEverything, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (IsNotFound(error))
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                       ? PathHolds::LinkToNothing
                       : PathHolds::Nothing;
        return RefusedFile(error, attributes);
    }
    switch (GetFileType(file.Get())) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_PIPE:
        return PathHolds::Pipe;
    default:
        return PathHolds::Device;
    }
    // A link to a folder has the attributes of a link; the folder shows
    // only through the handle.
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileInformationByHandle(file.Get(), &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return PathHolds::Folder;
    if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        return PathHolds::ReadOnlyFile;
    return PathHolds::DiskFile;
}

std::u16string Win32FileSystem::FileToReplace(const std::u16string& path) {
    // Opening a file follows its links; the handle's final path names the
    // file at their end. No access is asked for, so no sharing is in the way.
    const fw::KernelHandle file(CreateFileW(ToWide(path).c_str(), 0,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return path;
    std::wstring final(kLongPathUnits, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file.Get(), final.data(), kLongPathUnits, VOLUME_NAME_DOS);
    if (length == 0 || length >= kLongPathUnits)
        return path;
    final.resize(length);
    return FromWide(WithoutLongPathPrefix(final));
}

namespace {

// Puts the file where nothing stood when the save looked. Wine's MoveFileExW
// moves over a symbolic link to nothing even without
// MOVEFILE_REPLACE_EXISTING, and shows that link to no other call; creating
// the name exclusively (CREATE_NEW, which never follows a link) is refused
// for it, and for anything made there meanwhile. The move then replaces only
// the empty file made here.
PlaceOutcome PlaceNew(const std::wstring& from, const std::wstring& to) {
    {
        const fw::KernelHandle claim(
            CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!claim) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? PlaceOutcome::NameTaken
                                                                               : PlaceOutcome::TargetKept;
        }
    }
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return PlaceOutcome::Placed;
    DeleteFileW(to.c_str());
    return PlaceOutcome::TargetKept;
}

}  // namespace

PlaceOutcome Win32FileSystem::PutInPlace(const std::u16string& source, const std::u16string& target) {
    const std::wstring from = ToWide(source);
    const std::wstring to = ToWide(target);
    const auto move = [&] {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return IsNotFound(GetLastError()) ? PlaceNew(from, to) : PlaceOutcome::TargetKept;
    // Wine's ReplaceFileW moves whatever stands at the target aside, a
    // folder too, and reports success.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return PlaceOutcome::TargetKept;

    // Wine's ReplaceFileW moves the new file over the old one and keeps none
    // of the old one's attributes (hidden, system, archive), as Windows' does:
    // they are set again below, which on Windows changes nothing.
    if (!ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
        if (GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            return PlaceOutcome::TargetKept;
        // The old file is gone already and the new one still has its own
        // name: putting it in place is all that is left to do.
        if (!move())
            return PlaceOutcome::TargetLost;
    }
    SetFileAttributesW(to.c_str(), attributes);
    return PlaceOutcome::Placed;
}

void Win32FileSystem::RemoveFile(const std::u16string& path) { DeleteFileW(ToWide(path).c_str()); }

}  // namespace ikw
