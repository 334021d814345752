#include "app/ikwdev_app.h"

#include <ole2.h>

#include <memory>
#include <optional>

#include "app/start_up.h"
#include "dialog/printer_setup_dlg.h"
#include "help/help_request.h"
#include "platform/wide_string.h"
#include "platform/win32_print_services.h"
#include "platform/win32_save_services.h"

namespace {

// No selection, no page numbers, the driver's own copies setting, no print
// to file: only the device settings matter here.
constexpr DWORD kSetupDialogFlags = 0x14000C;

// One setup dialog at a time, made the application's main window while it runs.
class SetupDialogRunner : public ikw::SetupDialogHost {
public:
    explicit SetupDialogRunner(fw::Application& app) : m_app(app) {}

    bool RunSetupDialog(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter) override {
        m_dialog.reset();
        m_dialog = std::make_unique<CPrinterSetupDlg>(kSetupDialogFlags, nullptr);
        m_dialog->m_strDefaultPrinter = defaultPrinter;
        m_dialog->m_strSubstitutePrinter = substitutePrinter;
        m_app.m_pMainWnd = m_dialog.get();
        m_dialog->DoModal();
        return m_dialog->m_bInitialized;
    }

    void DestroySetupDialog() override {
        m_dialog.reset();
        m_app.m_pMainWnd = nullptr;
    }

private:
    fw::Application& m_app;
    std::unique_ptr<CPrinterSetupDlg> m_dialog;
};

}  // namespace

bool CIkwDevApp::InitInstance() {
    // The new-style save dialog is a component object. Nothing else needs
    // these services, so a failure here is left for that dialog to meet.
    OleInitialize(nullptr);
    m_strExcludedPrinter = ikw::kExcludedPrinter;

    ikw::Win32PrintServices spooler;
    SetupDialogRunner dialogs(*this);
    // By the time a box is shown the dialog is gone: it has no owner.
    ikw::Win32MessageBoxes messages(nullptr);
    ikw::RunStartUp(spooler, dialogs, messages);
    m_helpViewer.CloseAll();
    return false;
}

void CIkwDevApp::OnHelp() {
    const std::u16string executable = ikw::FromWide(ExecutablePath());
    std::optional<uint32_t> context;
    if (m_pMainWnd)
        context = m_pMainWnd->HelpContext();
    // The resource loader picks the string table's language by this too.
    const auto target = ikw::HtmlHelpTarget(executable, context, GetThreadUILanguage(),
                                            ikw::IsFile(ikw::HtmlHelpFilePath(executable)));
    if (!target) {
        fw::Application::OnHelp();
        return;
    }
    if (!m_helpViewer.Show(m_pMainWnd ? m_pMainWnd->Handle() : nullptr, *target))
        ReportHelpViewerFailure();
}

CIkwDevApp theApp;
