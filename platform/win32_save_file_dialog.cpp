#include "platform/win32_save_file_dialog.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <optional>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/unique_handle.h"
#include "platform/wide_string.h"

namespace ikw {
namespace {

// Both dialogs take the extension without its dot: given one, the classic
// dialog would append a double dot.
std::wstring WithoutLeadingDot(const std::u16string& extension) {
    return ToWide(extension.compare(0, 1, u".") == 0 ? extension.substr(1) : extension);
}

// Paths longer than the classic limit are returned whole, so that the caller
// can refuse them rather than meet a shortened name.
constexpr DWORD kPathBufferLength = 32768;

struct ClassicFlagOption {
    DWORD classic;                 // OFN_...
    FILEOPENDIALOGOPTIONS option;  // its FOS_... counterpart
};
constexpr ClassicFlagOption kClassicFlagOptions[] = {
    {OFN_OVERWRITEPROMPT, FOS_OVERWRITEPROMPT},
    {OFN_PATHMUSTEXIST, FOS_PATHMUSTEXIST},
    {OFN_NOREADONLYRETURN, FOS_NOREADONLYRETURN},
};

// The new-style dialog's options for the classic flags. The new style has no
// read-only box to hide. Its defaults check more than the flags ask for: a
// folder that does not exist or a read-only file would be refused by the
// dialog itself, and never reach the caller's own error report as they do
// from the classic dialog. Each of these options follows its classic flag.
FILEOPENDIALOGOPTIONS OptionsForFlags(FILEOPENDIALOGOPTIONS defaults, DWORD flags) {
    FILEOPENDIALOGOPTIONS options = defaults | FOS_FORCEFILESYSTEM;
    for (const auto& [classic, option] : kClassicFlagOptions) {
        if (flags & classic)
            options |= option;
        else
            options &= ~option;
    }
    return options;
}

// The filters, with the first one chosen.
bool SetFilters(IFileSaveDialog& dialog, const std::vector<FileFilter>& filters) {
    if (filters.empty())
        return true;
    std::vector<std::wstring> texts;  // the filters' texts, alive while specs points to them
    for (const FileFilter& filter : filters) {
        texts.push_back(ToWide(filter.displayName));
        texts.push_back(ToWide(filter.pattern));
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (std::size_t i = 0; i < texts.size(); i += 2)
        specs.push_back({texts[i].c_str(), texts[i + 1].c_str()});
    return SUCCEEDED(dialog.SetFileTypes(static_cast<UINT>(specs.size()), specs.data())) &&
           SUCCEEDED(dialog.SetFileTypeIndex(1));
}

// What the user sees: the filters, the suggested name, and a question before
// an existing file is replaced, as the flags ask. False when the dialog
// refuses any of it.
bool Prepare(IFileSaveDialog& dialog, const SaveFileRequest& request, DWORD flags) {
    FILEOPENDIALOGOPTIONS defaults = 0;
    return SUCCEEDED(dialog.GetOptions(&defaults)) && SUCCEEDED(dialog.SetOptions(OptionsForFlags(defaults, flags))) &&
           SetFilters(dialog, request.filters) &&
           SUCCEEDED(dialog.SetDefaultExtension(WithoutLeadingDot(request.defaultExtension).c_str())) &&
           SUCCEEDED(dialog.SetFileName(ToWide(request.initialFileName).c_str()));
}

// A folder that no longer exists is no reason to refuse the save: the dialog
// then starts where the platform chooses.
void StartInFolder(IFileSaveDialog& dialog, const std::u16string& folder) {
    if (folder.empty())
        return;
    fw::ComPtr<IShellItem> item;
    if (SUCCEEDED(SHCreateItemFromParsingName(ToWide(folder).c_str(), nullptr, IID_IShellItem,
                                              reinterpret_cast<void**>(item.Put()))))
        dialog.SetFolder(item.Get());
}

// The file the user chose, or nullopt when the dialog cannot say.
std::optional<std::wstring> ChosenPath(IFileSaveDialog& dialog) {
    fw::ComPtr<IShellItem> item;
    PWSTR path = nullptr;
    if (FAILED(dialog.GetResult(item.Put())) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return std::nullopt;
    const fw::UniqueHandle<PWSTR, CoTaskMemFree> held(path);
    return std::wstring(path);
}

}  // namespace

SaveDialogAnswer Win32SaveFileDialog::AskForSavePath(const SaveFileRequest& request) {
    const DWORD flags =
        (request.hideReadOnly ? OFN_HIDEREADONLY : 0) | (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    m_path.clear();
    Outcome outcome = RunNewStyle(request, flags);
    if (outcome == Outcome::Unavailable)
        outcome = RunClassic(request, flags);
    switch (outcome) {
    case Outcome::Chosen:
        return {SaveDialogAnswer::Outcome::Chosen, FromWide(m_path)};
    case Outcome::Cancelled:
        return {SaveDialogAnswer::Outcome::Cancelled, {}};
    case Outcome::Unavailable:
    case Outcome::Failed:
        break;
    }
    return {SaveDialogAnswer::Outcome::Failed, {}};
}

Win32SaveFileDialog::Outcome Win32SaveFileDialog::RunNewStyle(const SaveFileRequest& request, DWORD flags) {
    fw::ComPtr<IFileSaveDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                reinterpret_cast<void**>(dialog.Put()))) ||
        !Prepare(*dialog.Get(), request, flags))
        return Outcome::Unavailable;
    StartInFolder(*dialog.Get(), request.initialFolder);

    const HRESULT shown = dialog->Show(m_owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED))
        return Outcome::Cancelled;
    if (FAILED(shown))
        return Outcome::Unavailable;
    // The user chose a file: a result that cannot be read is a failure, not
    // a change of mind.
    std::optional<std::wstring> path = ChosenPath(*dialog.Get());
    if (!path)
        return Outcome::Failed;
    m_path = std::move(*path);
    return Outcome::Chosen;
}

Win32SaveFileDialog::Outcome Win32SaveFileDialog::RunClassic(const SaveFileRequest& request, DWORD flags) {
    // "name\0pattern\0...\0\0", the classic dialog's filter form.
    std::wstring filter;
    for (const FileFilter& f : request.filters) {
        filter += ToWide(f.displayName) + L'\0';
        filter += ToWide(f.pattern) + L'\0';
    }
    filter += L'\0';
    const std::wstring initialFileName = ToWide(request.initialFileName);
    const std::wstring defaultExtension = WithoutLeadingDot(request.defaultExtension);
    const std::wstring initialFolder = ToWide(request.initialFolder);
    std::wstring path(kPathBufferLength, L'\0');
    path.replace(0, initialFileName.size(), initialFileName.substr(0, kPathBufferLength - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathBufferLength;
    ofn.lpstrDefExt = defaultExtension.c_str();
    ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    ofn.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    // FALSE stands for a cancel and for a failure alike; only the extended
    // error tells them apart.
    if (!GetSaveFileNameW(&ofn))
        return CommDlgExtendedError() == 0 ? Outcome::Cancelled : Outcome::Failed;
    m_path = path.c_str();
    return Outcome::Chosen;
}

}  // namespace ikw
