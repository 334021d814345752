// Finding the program's windows. Titles follow the interface language, so
// windows are found by class, owner and the control ids they contain.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

struct WindowQuery {
    std::wstring className;  // empty: any class
    bool byOwner = false;
    HWND owner = nullptr;     // with byOwner: nullptr asks for an unowned window
    int controlId = 0;        // nonzero: the window must have this child
    int absentControlId = 0;  // nonzero: the window must not have this child
};

// Makes this thread look for windows on the named desktop (a Wine virtual
// desktop), waiting up to timeoutMs for it to exist.
bool UseDesktop(const std::wstring& name, DWORD timeoutMs);

// A visible top-level window that matches, waited for up to timeoutMs.
HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs);
bool WaitUntilGone(HWND window, DWORD timeoutMs);

std::wstring ClassName(HWND window);
std::wstring WindowText(HWND window);

// One line per window: handle, owner, process, visibility, class, id, text.
void ListWindows();
void ListChildren(HWND parent);

}  // namespace driver
