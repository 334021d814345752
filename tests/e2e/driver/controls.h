// Reading and operating the controls of another process's dialog by window
// messages alone: no synthetic keystrokes, so nothing depends on focus.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

struct ComboState {
    std::vector<std::wstring> entries;
    int selected = -1;  // CB_ERR when nothing is selected
};

ComboState ReadCombo(HWND dialog, int id);

// Selects the entry whose text is exactly `text` and tells the dialog, as a
// user's choice would. False when no entry has that text.
bool SelectComboEntry(HWND dialog, int id, const std::wstring& text);

// BM_CLICK, for controls whose click opens nothing (radio buttons).
void ClickButton(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);

// Posts the button's command and returns at once, for buttons that open a
// modal window: a sent message would not come back until it closed.
void PressButton(HWND dialog, int id);

}  // namespace driver
