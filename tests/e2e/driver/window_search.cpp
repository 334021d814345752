#include "window_search.h"

#include <vector>

#include "output.h"

namespace driver {
namespace {

const DWORD kPollMs = 50;
const UINT kSendTimeoutMs = 5000;

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> found;
    if (!EnumWindows(
            [](HWND window, LPARAM list) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found))) {
        FailWithLastError(L"the top-level windows could not be listed");
    }
    return found;
}

bool Matches(HWND window, const WindowQuery& query) {
    if (!IsWindowVisible(window))
        return false;
    if (!query.className.empty() && ClassName(window) != query.className)
        return false;
    if (query.byOwner && GetWindow(window, GW_OWNER) != query.owner)
        return false;
    if (query.controlId != 0 && !GetDlgItem(window, query.controlId))
        return false;
    return query.absentControlId == 0 || !GetDlgItem(window, query.absentControlId);
}

std::wstring Describe(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return HandleText(window) + L"\towner=" + HandleText(GetWindow(window, GW_OWNER)) + L"\tpid=" +
           std::to_wstring(process) + (IsWindowVisible(window) ? L"\tvisible" : L"\thidden") + L"\tclass=" +
           ClassName(window) + L"\tid=" + std::to_wstring(GetDlgCtrlID(window)) + L"\ttext=" + WindowText(window);
}

}  // namespace

bool UseDesktop(const std::wstring& name, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    HDESK desktop;
    while (!(desktop = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL))) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return SetThreadDesktop(desktop);
}

HWND WaitForWindow(const WindowQuery& query, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND window : TopLevelWindows()) {
            if (Matches(window, query))
                return window;
        }
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(kPollMs);
    }
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

// GetWindowTextW does not ask a window of another process for its text, so
// controls such as edit boxes would read empty; WM_GETTEXT does ask.
std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
        return L"";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

void ListWindows() {
    for (HWND window : TopLevelWindows()) {
        Print(Describe(window));
        if (IsWindowVisible(window))
            ListChildren(window);
    }
}

void ListChildren(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Print(L"  " + Describe(child));
    }
}

}  // namespace driver
