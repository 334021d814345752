#pragma once
// The platform's print dialog as a window object: its parameter block, a
// modal run, and every message of its window through the message map first.

#include <windows.h>
#include <commdlg.h>

#include "framework/window.h"

namespace fw {

class PrintDialog : public Window {
public:
    // Always the print setup dialog: the program has no print dialog.
    // helpContext: the topic its Help button asks for (see HelpContext).
    PrintDialog(DWORD flags, HWND parent, DWORD helpContext);
    ~PrintDialog() override;
    PrintDialog(const PrintDialog&) = delete;
    PrintDialog& operator=(const PrintDialog&) = delete;

    // Runs the dialog; IDOK or IDCANCEL. A dialog whose window could not be
    // created reports IDCANCEL too.
    INT_PTR DoModal();

    DWORD HelpContext() const override { return m_helpId; }

    // The parameter block: the device settings and device name handles the
    // dialog works on.
    PRINTDLGW m_pd{};

protected:
    // Runs once, when the window exists and before it is first shown.
    virtual BOOL OnInitDialog() { return TRUE; }
    // The OK command; by default the platform dialog's own (it ends).
    virtual void OnOK() { Default(); }

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    DWORD m_helpId;
    HWND m_parent;

private:
    LRESULT OnOkCommand(WPARAM, LPARAM);
    LRESULT OnHelpButton(WPARAM, LPARAM);
    void CentreInWorkArea();
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace fw
