#pragma once
// The program's only window: the platform's print setup dialog, with a save
// button in place of OK, a close button in place of Cancel, and the
// application icon.

#include <string>

#include "devinfo/save_device_settings.h"
#include "framework/print_dialog.h"

class CPrinterSetupDlg : public fw::PrintDialog {
public:
    CPrinterSetupDlg(DWORD flags, HWND parent);

    std::u16string m_strDefaultPrinter;     // the default printer found at start-up
    std::u16string m_strSubstitutePrinter;  // made default so the dialog could open; empty if none
    bool m_bInitialized = false;            // the window was created
    std::u16string m_openedFile;            // full path of the device info file shown; empty if none
    HICON m_hIcon;

protected:
    BOOL OnInitDialog() override;
    // The save button: writes a device info file; the dialog stays open.
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowOpenedFileInTitle();
    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    ikw::OneSaveAtATime m_saveCommand;
};
