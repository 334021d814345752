#include "win32_program/printer_setup_dlg.h"

#include <dlgs.h>

#include "devinfo/save_device_settings.h"
#include "dialog/minimised_icon.h"
#include "dialog/opened_file_title.h"
#include "dialog/restore_default_printer.h"
#include "framework/application.h"
#include "framework/message_map.h"
#include "framework/resources.h"
#include "platform/wide_string.h"
#include "platform/win32_dialog_child_windows.h"
#include "platform/win32_message_boxes.h"
#include "platform/win32_print_services.h"
#include "platform/win32_save_file_dialog.h"
#include "platform/win32_save_services.h"
#include "platform/win32_string_table.h"
#include "platform/wine_print_dialog_state.h"
#include "res/resource.h"

// The core finds the printer list by this id; it must be the template's.
static_assert(ikw::kPrinterListControlId == cmb1, "the core's printer list id is not the dialog's cmb1");

CPrinterSetupDlg::CPrinterSetupDlg(DWORD flags, HWND parent, DWORD helpContext)
    : fw::PrintDialog(flags, parent, helpContext),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP_ICON))) {}

bool CPrinterSetupDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    using Entry = fw::MessageMapEntry<CPrinterSetupDlg>;
    static const Entry kMessageMap[] = {
        fw::OnMessage<CPrinterSetupDlg>(WM_SYSCOMMAND, &CPrinterSetupDlg::OnSysCommand),
        fw::OnMessage<CPrinterSetupDlg>(WM_PAINT, &CPrinterSetupDlg::OnPaint),
        fw::OnMessage<CPrinterSetupDlg>(WM_QUERYDRAGICON, &CPrinterSetupDlg::OnQueryDragIcon),
        fw::OnMessage<CPrinterSetupDlg>(WM_DESTROY, &CPrinterSetupDlg::OnDestroy),
    };
    // Another printer picked: the tied file holds another printer's
    // settings, so the title stops naming it. The platform dialog still
    // handles the change itself.
    if (message == WM_COMMAND && LOWORD(wParam) == cmb1 && HIWORD(wParam) == CBN_SELCHANGE)
        ShowTiedFileInTitle(SelectedPrinter());
    return fw::DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result) ||
           fw::PrintDialog::OnWndMsg(message, wParam, lParam, result);
}

BOOL CPrinterSetupDlg::OnInitDialog() {
    fw::PrintDialog::OnInitDialog();
    SetDlgItemTextW(m_handle, IDOK, fw::LoadResourceString(IDS_SAVE_CAPTION).c_str());
    SetDlgItemTextW(m_handle, IDCANCEL, fw::LoadResourceString(IDS_CLOSE_CAPTION).c_str());
    SendMessageW(m_handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_bInitialized = true;
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(m_handle)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(m_handle, title.data(), static_cast<int>(title.size()))));
    m_platformTitle = title;
    // A dialog tied to a file starts on that file's printer.
    ShowTiedFileInTitle(m_tiedFile.printer);

    ikw::Win32PrintServices spooler;
    ikw::Win32DialogChildWindows children(m_handle);
    ikw::RestoreDefaultPrinter(m_strDefaultPrinter, m_strSubstitutePrinter, spooler, children);
    return TRUE;
}

void CPrinterSetupDlg::OnOK() {
    m_saveCommand.Run([this] {
        const ikw::DialogRecordCopies copies = ikw::CopyDialogRecords(m_handle, m_pd);
        ikw::Win32DialogRecords records(copies.devMode.Get(), copies.devNames.Get());
        ikw::Win32StringTable strings;
        ikw::Win32SaveFileDialog saveDialog(m_handle);
        ikw::Win32FileSystem files;
        ikw::Win32MessageBoxes messages(m_handle);
        ikw::Win32PrintServices spooler;
        m_tiedFile = ikw::SaveDeviceSettings({records, strings, saveDialog, files, messages, spooler}, m_tiedFile);
    });
    ShowTiedFileInTitle(SelectedPrinter());
}

void CPrinterSetupDlg::ShowTiedFileInTitle(const std::u16string& shownPrinter) {
    // Before OnInitDialog the platform's own title is not known yet.
    if (!m_bInitialized)
        return;
    const std::u16string title =
        ikw::TitleWithOpenedFile(ikw::FromWide(m_platformTitle), ikw::TiedFileFor(m_tiedFile, shownPrinter));
    SetWindowTextW(m_handle, ikw::ToWide(title).c_str());
}

// The printer combo box's entries are the printers' full names.
std::u16string CPrinterSetupDlg::SelectedPrinter() const {
    const HWND combo = GetDlgItem(m_handle, cmb1);
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return {};
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return ikw::FromWide(text);
}

LRESULT CPrinterSetupDlg::OnSysCommand(WPARAM, LPARAM) { return Default(); }

LRESULT CPrinterSetupDlg::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(m_handle))
        return Default();
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_handle, &paint);
    SendMessageW(m_handle, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_handle, &client);
    const ikw::Point origin = ikw::MinimisedIconOrigin(client.right - client.left, client.bottom - client.top,
                                                       GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, origin.x, origin.y, m_hIcon);
    EndPaint(m_handle, &paint);
    return 0;
}

LRESULT CPrinterSetupDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_hIcon); }

// With the main window already forgotten, the end of this window asks the
// application for nothing more.
LRESULT CPrinterSetupDlg::OnDestroy(WPARAM, LPARAM) {
    fw::Application& app = fw::Application::Current();
    if (app.m_pMainWnd == this)
        app.m_pMainWnd = nullptr;
    return Default();
}
