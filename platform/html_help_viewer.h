#pragma once
// The HTML Help viewer. Its library, hhctrl.ocx, is loaded from the system
// folder the first time help is asked for, not imported: so the executable
// still needs only the DLLs every Windows has, and starts without it.

#include <windows.h>

#include <string>

namespace ikw {

// The library stays loaded until the process ends: its windows and threads
// may outlive any object here, and unloading it under them would crash.
class HtmlHelpViewer {
public:
    HtmlHelpViewer() = default;
    HtmlHelpViewer(const HtmlHelpViewer&) = delete;
    HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

    // Opens the viewer on target ("file.chm::/page.htm", or a file for its
    // default topic), owned by owner, and returns at once: the viewer runs
    // on the owner's message loop and blocks nothing. False when the viewer
    // could not be started.
    bool Show(HWND owner, const std::u16string& target);

    // Closes the viewer windows this process opened. The library asks for
    // this before the program ends, while its windows can still be torn
    // down in order; a later Show opens a new one.
    void CloseAll();

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    bool Load();

    HMODULE m_library = nullptr;
    HtmlHelpFunction m_htmlHelp = nullptr;
    bool m_opened = false;
};

// Whether path names an existing file, not a folder.
bool IsFile(const std::u16string& path);

}  // namespace ikw
