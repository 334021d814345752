#include "controls.h"

#include "output.h"

namespace driver {
namespace {

// Long enough for the print dialog to load a printer's driver settings when
// the printer changes.
const UINT kSendTimeoutMs = 30000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result)) {
        FailWithLastError(L"message " + std::to_wstring(message) + L" to window " + HandleText(window) + L" not taken");
    }
    return static_cast<LRESULT>(result);
}

HWND Control(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        FailWithLastError(L"window " + HandleText(dialog) + L" has no control " + std::to_wstring(id));
    }
    return control;
}

std::wstring ComboEntry(HWND combo, int index) {
    LRESULT length = Send(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return L"";
    std::wstring text(length + 1, L'\0');
    Send(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

}  // namespace

ComboState ReadCombo(HWND dialog, int id) {
    HWND combo = Control(dialog, id);
    ComboState state;
    LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        state.entries.push_back(ComboEntry(combo, i));
    state.selected = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    return state;
}

bool SelectComboEntry(HWND dialog, int id, const std::wstring& text) {
    ComboState state = ReadCombo(dialog, id);
    for (size_t i = 0; i < state.entries.size(); ++i) {
        if (state.entries[i] != text)
            continue;
        HWND combo = Control(dialog, id);
        Send(combo, CB_SETCURSEL, i, 0);
        Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return true;
    }
    return false;
}

void ClickButton(HWND dialog, int id) { Send(Control(dialog, id), BM_CLICK, 0, 0); }

bool IsChecked(HWND dialog, int id) { return Send(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void PressButton(HWND dialog, int id) {
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(dialog, id)))) {
        FailWithLastError(L"command " + std::to_wstring(id) + L" not posted to window " + HandleText(dialog));
    }
}

}  // namespace driver
