#include "platform/win32_save_services.h"

#include "framework/file.h"
#include "framework/message_box.h"
#include "framework/resources.h"
#include "framework/save_file_dialog.h"
#include "platform/wide_string.h"

namespace ikw {

HGLOBAL Win32DialogRecords::HandleOf(DialogRecord record) const {
    return record == DialogRecord::DeviceSettings ? m_block.hDevMode : m_block.hDevNames;
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

std::optional<std::u16string> Win32SaveFileDialog::AskForSavePath(const SaveFileRequest& request) {
    std::vector<fw::FileFilter> filters;
    for (const FileFilter& filter : request.filters)
        filters.push_back({ToWide(filter.displayName), ToWide(filter.pattern)});
    const DWORD flags = (request.hideReadOnly ? OFN_HIDEREADONLY : 0) | (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    fw::SaveFileDialog dialog(ToWide(request.defaultExtension), ToWide(request.initialFileName), flags, filters);
    dialog.SetInitialFolder(ToWide(request.initialFolder));
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return FromWide(dialog.GetPathName());
}

namespace {

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

bool Win32FileSystem::MoveReplacingExisting(const std::u16string& source, const std::u16string& target) {
    return MoveFileExW(ToWide(source).c_str(), ToWide(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

void Win32FileSystem::RemoveFile(const std::u16string& path) { DeleteFileW(ToWide(path).c_str()); }

void Win32MessageBoxes::ShowMessage(const std::u16string& text, MessageIcon icon) {
    const UINT iconFlag = icon == MessageIcon::Stop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    fw::ShowMessageBox(m_owner, ToWide(text), MB_OK | iconFlag);
}

}  // namespace ikw
