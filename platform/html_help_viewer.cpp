#include "platform/html_help_viewer.h"

#include <htmlhelp.h>

#include "platform/wide_string.h"

namespace ikw {
namespace {

// A full path, so that a hhctrl.ocx beside the executable or in the current
// folder is never the one loaded.
std::wstring SystemLibraryPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    return std::wstring(folder, length) + L"\\" + name;
}

}  // namespace

bool HtmlHelpViewer::Load() {
    if (m_htmlHelp)
        return true;
    if (!m_library) {
        const std::wstring path = SystemLibraryPath(L"hhctrl.ocx");
        if (path.empty())
            return false;
        m_library = LoadLibraryW(path.c_str());
        if (!m_library)
            return false;
    }
    m_htmlHelp =
        reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(GetProcAddress(m_library, "HtmlHelpW")));
    return m_htmlHelp != nullptr;
}

bool HtmlHelpViewer::Show(HWND owner, const std::u16string& target) {
    if (!Load())
        return false;
    const std::wstring wideTarget = ToWide(target);
    if (!m_htmlHelp(owner, wideTarget.c_str(), HH_DISPLAY_TOPIC, 0))
        return false;
    m_opened = true;
    return true;
}

void HtmlHelpViewer::CloseAll() {
    if (!m_opened)
        return;
    m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
    m_opened = false;
}

bool IsFile(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace ikw
