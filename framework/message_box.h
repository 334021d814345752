#pragma once
// Message boxes titled with the program's name, as every box the program
// shows is.

#include <windows.h>

#include <string>

namespace fw {

// owner: the window that is disabled while the box is open; null for none.
int ShowMessageBox(HWND owner, const std::wstring& text, UINT type);
// The same without a string to copy: for boxes shown when memory has run out.
int ShowMessageBox(HWND owner, const wchar_t* text, UINT type);

}  // namespace fw
