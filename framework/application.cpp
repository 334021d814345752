#include "framework/application.h"

#include "framework/error_report.h"
#include "framework/message_box.h"

namespace fw {
namespace {

Application* g_application = nullptr;

std::wstring ModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring::size_type ExtensionStart(const std::wstring& path) {
    const auto dot = path.find_last_of(L'.');
    const auto separator = path.find_last_of(L"\\/");
    return (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator)) ? dot : path.size();
}

// The string into a buffer of the caller's, cut to its size, or the fallback
// when the string table holds none.
template <int Units>
void LoadText(const FrameworkText& text, wchar_t (&buffer)[Units]) {
    if (LoadStringW(GetModuleHandleW(nullptr), text.id, buffer, Units) > 0)
        return;
    lstrcpynW(buffer, text.fallback, Units);
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

Application::Application(const FrameworkTexts& texts) : m_texts(texts) { g_application = this; }

Application::~Application() { g_application = nullptr; }

Application& Application::Current() { return *g_application; }

bool Application::OnCommand(UINT commandId) {
    if (commandId != kHelpCommand)
        return false;
    OnHelp();
    return true;
}

void Application::OnHelp() {
    const DWORD context = m_pMainWnd ? kDialogHelpContextBase + m_pMainWnd->HelpContext() : 0;
    const HWND owner = m_pMainWnd ? m_pMainWnd->Handle() : nullptr;
    if (!WinHelpW(owner, m_helpFilePath.c_str(), HELP_CONTEXT, context))
        ReportHelpViewerFailure();
}

void Application::ReportHelpViewerFailure() {
    const HWND owner = m_pMainWnd ? m_pMainWnd->Handle() : nullptr;
    ShowMessageBox(owner, m_helpViewerFailedText, MB_OK | MB_ICONEXCLAMATION);
}

int Application::Run() {
    LoadText(m_texts.outOfMemory, m_outOfMemoryText);
    LoadText(m_texts.unexpectedError, m_unexpectedErrorText);
    LoadText(m_texts.helpViewerFailed, m_helpViewerFailedText);
    m_executablePath = ModuleFileName();
    const std::wstring& path = m_executablePath;
    const auto nameStart = path.find_last_of(L"\\/") + 1;  // npos + 1 == 0
    const auto extension = ExtensionStart(path);
    m_programName = path.substr(nameStart, extension - nameStart);
    m_helpFilePath = path.substr(0, extension) + L".HLP";
    try {
        return InitInstance() ? RunMessageLoop() : m_exitCode;
    } catch (...) {
        ReportCurrentException();
        return 1;
    }
}

}  // namespace fw
