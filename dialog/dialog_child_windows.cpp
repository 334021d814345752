#include "dialog/dialog_child_windows.h"

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

int Win32DialogChildWindows::SelectEntryStartingWith(Child comboBox, const std::u16string& prefix) {
    // Start index 0: the search begins after entry 0 and wraps round to it.
    const std::wstring text = ToWide(prefix);
    return static_cast<int>(
        SendMessageW(AsWindow(comboBox), CB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void Win32DialogChildWindows::NotifySelectionChanged(Child comboBox) {
    // CB_SELECTSTRING sends no notification; the dialog learns of the new
    // printer only as if the user had picked it.
    const HWND combo = AsWindow(comboBox);
    const WORD id = static_cast<WORD>(GetDlgCtrlID(combo) & 0xFFFF);
    SendMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

}  // namespace ikw
