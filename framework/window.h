#pragma once
// A window object: receives every message of its window through its message
// map before the window's own procedure does.

#include <windows.h>

namespace fw {

class Window {
public:
    virtual ~Window() = default;
    HWND Handle() const { return m_handle; }
    // The help topic for this window; 0 for none. The WinHelp call adds
    // kDialogHelpContextBase, the way help files number dialogs' topics.
    virtual DWORD HelpContext() const { return 0; }

protected:
    // Returns true when the message map handled the message.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Hands the message being handled to the window's own procedure.
    LRESULT Default();

    // Routes the window's messages through OnWndMsg until it is destroyed.
    void Subclass(HWND hWnd);

    HWND m_handle = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_originalProc = nullptr;
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } m_current{};
};

}  // namespace fw
