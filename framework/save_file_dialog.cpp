#include "framework/save_file_dialog.h"

#include <commdlg.h>
#include <shobjidl.h>

#include "framework/application.h"
#include "framework/com_ptr.h"

namespace fw {
namespace {

// Both dialogs take the extension without its dot: given one, the classic
// dialog would append a double dot.
std::wstring WithoutLeadingDot(const std::wstring& extension) {
    return extension.compare(0, 1, L".") == 0 ? extension.substr(1) : extension;
}

// Paths longer than the classic limit are returned whole, so that the caller
// can refuse them rather than meet a shortened name.
constexpr DWORD kPathBufferLength = 32768;

struct ClassicFlagOption {
    DWORD classic;                // OFN_...
    FILEOPENDIALOGOPTIONS option; // its FOS_... counterpart
};
constexpr ClassicFlagOption kClassicFlagOptions[] = {
    {OFN_OVERWRITEPROMPT, FOS_OVERWRITEPROMPT},
    {OFN_PATHMUSTEXIST, FOS_PATHMUSTEXIST},
    {OFN_NOREADONLYRETURN, FOS_NOREADONLYRETURN},
};

}  // namespace

SaveFileDialog::SaveFileDialog(std::wstring defaultExtension, std::wstring initialFileName, DWORD flags,
                               std::vector<FileFilter> filters)
    : m_defaultExtension(WithoutLeadingDot(defaultExtension)),
      m_initialFileName(std::move(initialFileName)),
      m_flags(flags),
      m_filters(std::move(filters)) {}

INT_PTR SaveFileDialog::DoModal(HWND owner) {
    if (!owner && Application::Current().m_pMainWnd)
        owner = Application::Current().m_pMainWnd->Handle();
    m_path.clear();
    Outcome outcome = RunNewStyle(owner);
    if (outcome == Outcome::Unavailable)
        outcome = RunClassic(owner);
    switch (outcome) {
    case Outcome::Chosen:
        return IDOK;
    case Outcome::Cancelled:
        return IDCANCEL;
    case Outcome::Unavailable:
    case Outcome::Failed:
        break;
    }
    return kDialogFailed;
}

SaveFileDialog::Outcome SaveFileDialog::RunNewStyle(HWND owner) {
    ComPtr<IFileSaveDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                reinterpret_cast<void**>(dialog.Put()))))
        return Outcome::Unavailable;

    // The user sees: the filters with the first one chosen, the suggested
    // name, and a question before an existing file is replaced.
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const FileFilter& filter : m_filters)
        specs.push_back({filter.name.c_str(), filter.pattern.c_str()});
    // The new style has no read-only box to hide.
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options)))
        return Outcome::Unavailable;
    options |= FOS_FORCEFILESYSTEM;
    // The save dialog's defaults check more than the flags ask for: a folder
    // that does not exist or a read-only file would be refused by the dialog
    // itself, and never reach the caller's own error report as they do from
    // the classic dialog. Each of these options follows its classic flag.
    for (const auto& [classic, option] : kClassicFlagOptions) {
        if (m_flags & classic)
            options |= option;
        else
            options &= ~option;
    }
    if (FAILED(dialog->SetOptions(options)) ||
        (!specs.empty() && (FAILED(dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data())) ||
                            FAILED(dialog->SetFileTypeIndex(1)))) ||
        FAILED(dialog->SetDefaultExtension(m_defaultExtension.c_str())) ||
        FAILED(dialog->SetFileName(m_initialFileName.c_str())))
        return Outcome::Unavailable;

    // A folder that no longer exists is no reason to refuse the save: the
    // dialog then starts where the platform chooses.
    if (!m_initialFolder.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(m_initialFolder.c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(folder.Put()))))
            dialog->SetFolder(folder.Get());
    }

    const HRESULT shown = dialog->Show(owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED))
        return Outcome::Cancelled;
    if (FAILED(shown))
        return Outcome::Unavailable;

    ComPtr<IShellItem> item;
    PWSTR path = nullptr;
    // The user chose a file: a result that cannot be read is a failure, not
    // a change of mind.
    if (FAILED(dialog->GetResult(item.Put())) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return Outcome::Failed;
    m_path = path;
    CoTaskMemFree(path);
    return Outcome::Chosen;
}

SaveFileDialog::Outcome SaveFileDialog::RunClassic(HWND owner) {
    // "name\0pattern\0...\0\0", the classic dialog's filter form.
    std::wstring filter;
    for (const FileFilter& f : m_filters) {
        filter += f.name + L'\0';
        filter += f.pattern + L'\0';
    }
    filter += L'\0';
    std::wstring path(kPathBufferLength, L'\0');
    path.replace(0, m_initialFileName.size(), m_initialFileName.substr(0, kPathBufferLength - 1));

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kPathBufferLength;
    ofn.lpstrDefExt = m_defaultExtension.c_str();
    ofn.lpstrInitialDir = m_initialFolder.empty() ? nullptr : m_initialFolder.c_str();
    ofn.Flags = m_flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    // FALSE stands for a cancel and for a failure alike; only the extended
    // error tells them apart.
    if (!GetSaveFileNameW(&ofn))
        return CommDlgExtendedError() == 0 ? Outcome::Cancelled : Outcome::Failed;
    m_path = path.c_str();
    return Outcome::Chosen;
}

}  // namespace fw
