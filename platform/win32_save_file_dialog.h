#pragma once
// The save operation's file save dialog: the new-style dialog where it can be
// created, the classic one otherwise.

#include <windows.h>

#include <string>

#include "devinfo/save_platform.h"

namespace ikw {

class Win32SaveFileDialog : public SaveFileDialog {
public:
    // Runs the dialog modally over the application's main window.
    SaveDialogAnswer AskForSavePath(const SaveFileRequest& request) override;

private:
    enum class Outcome { Chosen, Cancelled, Unavailable, Failed };
    Outcome RunNewStyle(HWND owner, const SaveFileRequest& request, DWORD flags);
    Outcome RunClassic(HWND owner, const SaveFileRequest& request, DWORD flags);

    std::wstring m_path;  // the chosen path once a run ends in Chosen
};

}  // namespace ikw
