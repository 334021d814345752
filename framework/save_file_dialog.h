#pragma once
// The platform's file save dialog: the new-style dialog where it can be
// created, the classic one otherwise.

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

struct FileFilter {
    std::wstring name;     // what the user reads, e.g. "device info files(*.dev)"
    std::wstring pattern;  // e.g. "*.dev"
};

class SaveFileDialog {
public:
    // defaultExtension: with or without its leading dot. flags: OFN_HIDEREADONLY,
    // OFN_OVERWRITEPROMPT, OFN_PATHMUSTEXIST and OFN_NOREADONLYRETURN are
    // honoured by both dialog styles; neither checks a path for more than
    // the flags ask.
    SaveFileDialog(std::wstring defaultExtension, std::wstring initialFileName, DWORD flags,
                   std::vector<FileFilter> filters);

    // The folder the dialog starts in; by default the platform chooses.
    void SetInitialFolder(std::wstring folder) { m_initialFolder = std::move(folder); }

    // What DoModal returns when neither dialog style could be shown or its
    // answer could not be read.
    static constexpr INT_PTR kDialogFailed = -1;

    // Runs the dialog modally over owner (null: the application's main
    // window). IDOK with a path, IDCANCEL, or kDialogFailed.
    INT_PTR DoModal(HWND owner = nullptr);
    const std::wstring& GetPathName() const { return m_path; }

private:
    enum class Outcome { Chosen, Cancelled, Unavailable, Failed };
    Outcome RunNewStyle(HWND owner);
    Outcome RunClassic(HWND owner);

    std::wstring m_defaultExtension;  // without the dot, as both dialogs want it
    std::wstring m_initialFileName;
    std::wstring m_initialFolder;
    DWORD m_flags;
    std::vector<FileFilter> m_filters;
    std::wstring m_path;
};

}  // namespace fw
