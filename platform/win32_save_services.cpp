#include "platform/win32_save_services.h"

#include "framework/file.h"
#include "framework/message_box.h"
#include "framework/resources.h"
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

std::u16string Win32StringTable::Load(unsigned id) { return FromWide(fw::LoadResourceString(id)); }

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

PlaceOutcome Win32FileSystem::PutInPlace(const std::u16string& source, const std::u16string& target) {
    const std::wstring from = ToWide(source);
    const std::wstring to = ToWide(target);
    const auto move = [&] {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return move() ? PlaceOutcome::Placed : PlaceOutcome::TargetKept;

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

void Win32MessageBoxes::ShowMessage(const std::u16string& text, MessageIcon icon) {
    const UINT iconFlag = icon == MessageIcon::Stop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    fw::ShowMessageBox(m_owner, ToWide(text), MB_OK | iconFlag);
}

}  // namespace ikw
