#include "framework/print_dialog.h"

#include <dlgs.h>

#include <algorithm>

#include "framework/application.h"
#include "framework/error_report.h"
#include "framework/message_map.h"
#include "framework/unique_handle.h"

namespace fw {

PrintDialog::PrintDialog(DWORD flags, HWND parent, DWORD helpContext) : m_helpId(helpContext), m_parent(parent) {
    m_pd.lStructSize = sizeof(m_pd);
    m_pd.Flags = flags | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_PRINTSETUP;
    // The Help button is worth showing only when something answers it.
    m_pd.Flags |= PD_SHOWHELP;
    // Wine calls only the print hook, Windows only the setup hook in setup
    // mode: the same procedure serves as both.
    m_pd.lpfnPrintHook = &PrintDialog::HookProc;
    m_pd.lpfnSetupHook = &PrintDialog::HookProc;
    m_pd.lCustData = reinterpret_cast<LPARAM>(this);
}

PrintDialog::~PrintDialog() {
    // The platform allocates both records during the run; they are ours to free.
    const UniqueHandle<HGLOBAL, GlobalFree> devMode(m_pd.hDevMode), devNames(m_pd.hDevNames);
}

INT_PTR PrintDialog::DoModal() {
    m_pd.hwndOwner = m_parent;
    return PrintDlgW(&m_pd) ? IDOK : IDCANCEL;
}

bool PrintDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    static const MessageMapEntry<PrintDialog> kMessageMap[] = {
        OnCommand<PrintDialog>(IDOK, &PrintDialog::OnOkCommand),
        OnCommand<PrintDialog>(pshHelp, &PrintDialog::OnHelpButton),
    };
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

LRESULT PrintDialog::OnOkCommand(WPARAM, LPARAM) {
    OnOK();
    return 0;
}

// The Help button reaches the application as its Help command, so the
// platform dialog never sees it.
LRESULT PrintDialog::OnHelpButton(WPARAM, LPARAM) {
    if (!Application::Current().OnCommand(kHelpCommand))
        return Default();
    return 0;
}

void PrintDialog::CentreInWorkArea() {
    RECT window;
    GetWindowRect(m_handle, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_handle, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top + (area.bottom - area.top - height) / 2;
    // Keep the title bar reachable when the dialog is larger than the area.
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    SetWindowPos(m_handle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CALLBACK PrintDialog::HookProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return 0;
    auto* self = reinterpret_cast<PrintDialog*>(reinterpret_cast<PRINTDLGW*>(lParam)->lCustData);
    self->Subclass(hWnd);
    BOOL result = TRUE;
    try {
        result = self->OnInitDialog();
    } catch (...) {
        ReportCurrentException();
    }
    if (!IsWindowVisible(hWnd))
        self->CentreInWorkArea();
    return result;
}

}  // namespace fw
