#include "platform/win32_dialog_child_windows.h"

#include "platform/wide_string.h"

namespace ikw {
namespace {
HWND AsWindow(DialogChildWindows::Child child) { return reinterpret_cast<HWND>(child); }
DialogChildWindows::Child AsChild(HWND window) { return reinterpret_cast<DialogChildWindows::Child>(window); }
}  // namespace

DialogChildWindows::Child Win32DialogChildWindows::FirstChild() { return AsChild(GetWindow(m_dialog, GW_CHILD)); }

DialogChildWindows::Child Win32DialogChildWindows::NextSibling(Child child) {
    return AsChild(GetWindow(AsWindow(child), GW_HWNDNEXT));
}

std::u16string Win32DialogChildWindows::ClassName(Child child) {
    wchar_t name[100];
    const int length = GetClassNameW(AsWindow(child), name, 100);
    return length > 0 ? FromWide(name, static_cast<std::size_t>(length)) : std::u16string();
}

unsigned Win32DialogChildWindows::ControlId(Child child) {
    return static_cast<unsigned>(GetDlgCtrlID(AsWindow(child)) & 0xFFFF);
}

int Win32DialogChildWindows::SelectEntryNamed(Child comboBox, const std::u16string& name) {
    // Start index -1: the search covers the list from entry 0. Unlike
    // CB_SELECTSTRING, it matches whole entries only.
    const std::wstring text = ToWide(name);
    const HWND combo = AsWindow(comboBox);
    const LRESULT index =
        SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (index == CB_ERR)
        return -1;
    return SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32DialogChildWindows::NotifySelectionChanged(Child comboBox) {
    // CB_SETCURSEL sends no notification; the dialog learns of the new
    // printer only as if the user had picked it.
    const HWND combo = AsWindow(comboBox);
    const WORD id = static_cast<WORD>(ControlId(comboBox));
    SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

}  // namespace ikw
