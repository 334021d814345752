#pragma once
// The save operation's file save dialog: the new-style dialog where it can be
// created, the classic one otherwise.

#include <windows.h>

#include <string>

#include "devinfo/save_platform.h"

namespace ikw {

class Win32SaveFileDialog : public SaveFileDialog {
public:
    // owner: the window the dialog runs modally over; null for none.
    explicit Win32SaveFileDialog(HWND owner) : m_owner(owner) {}

    SaveDialogAnswer AskForSavePath(const SaveFileRequest& request) override;

private:
    enum class Outcome { Chosen, Cancelled, Unavailable, Failed };
    Outcome RunNewStyle(const SaveFileRequest& request, DWORD flags);
    Outcome RunClassic(const SaveFileRequest& request, DWORD flags);

    HWND m_owner;
    std::wstring m_path;  // the chosen path once a run ends in Chosen
};

}  // namespace ikw
