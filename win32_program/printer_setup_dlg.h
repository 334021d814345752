#pragma once
// The program's only window: the platform's print setup dialog, with a save
// button in place of OK, a close button in place of Cancel, and the
// application icon.

#include <string>

#include "devinfo/save_device_settings.h"
#include "framework/print_dialog.h"

class CPrinterSetupDlg : public fw::PrintDialog {
public:
    CPrinterSetupDlg(DWORD flags, HWND parent, DWORD helpContext);

    std::u16string m_strDefaultPrinter;     // the default printer found at start-up
    std::u16string m_strSubstitutePrinter;  // made default so the dialog could open; empty if none
    bool m_bInitialized = false;            // the window was created
    ikw::TiedFile m_tiedFile;               // the device info file opened, then the one last saved; empty if none
    HICON m_hIcon;

protected:
    BOOL OnInitDialog() override;
    // The save button: writes a device info file; the dialog stays open.
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // The platform's title, with the tied file's name while the dialog shows
    // that file's printer.
    void ShowTiedFileInTitle(const std::u16string& shownPrinter);
    std::u16string SelectedPrinter() const;
    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    ikw::OneSaveAtATime m_saveCommand;
    std::wstring m_platformTitle;  // the platform dialog's own title
};
