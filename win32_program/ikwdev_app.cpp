#include "win32_program/ikwdev_app.h"

#include <memory>
#include <optional>

#include "app/run_program.h"
#include "app/start_up.h"
#include "devinfo/message_texts.h"
#include "help/help_request.h"
#include "platform/ole_apartment.h"
#include "platform/wide_string.h"
#include "platform/win32_command_line.h"
#include "platform/win32_device_info_files.h"
#include "platform/win32_device_settings_merge.h"
#include "platform/win32_message_boxes.h"
#include "platform/win32_print_services.h"
#include "platform/win32_string_table.h"
#include "win32_program/printer_setup_dlg.h"

namespace {

// No selection, no page numbers, the driver's own copies setting, no print
// to file: only the device settings matter here.
constexpr DWORD kSetupDialogFlags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;

// The framework's own boxes, in the interface language like every other,
// with the built-in English should the string table lack one. The built-in
// texts are literals, so the pointer stays valid and ends in a NUL.
fw::FrameworkText FrameworkTextFor(unsigned id) {
    return {id, reinterpret_cast<const wchar_t*>(ikw::BuiltInText(id).data())};
}

// One setup dialog at a time, made the application's main window while it runs.
class SetupDialogRunner : public ikw::OpenedFileDialogHost {
public:
    explicit SetupDialogRunner(fw::Application& app) : m_app(app) {}

    bool RunSetupDialog(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter) override {
        CPrinterSetupDlg& dialog = NewDialog();
        dialog.m_strDefaultPrinter = defaultPrinter;
        dialog.m_strSubstitutePrinter = substitutePrinter;
        return RunModal(dialog);
    }

    // No default or substitute printer: the dialog starts on the file's
    // printer through its parameter block and never changes the default.
    bool RunSetupDialogWith(const ikw::OpenedDeviceInfo& opened) override {
        CPrinterSetupDlg& dialog = NewDialog();
        dialog.m_tiedFile = {opened.file, opened.printer};
        if (!ikw::StartDialogFromRecord(dialog.m_pd, opened.printer, opened.record))
            return false;
        return RunModal(dialog);
    }

    void DestroySetupDialog() override {
        m_dialog.reset();
        m_app.m_pMainWnd = nullptr;
    }

private:
    CPrinterSetupDlg& NewDialog() {
        m_dialog.reset();
        m_dialog = std::make_unique<CPrinterSetupDlg>(kSetupDialogFlags, nullptr, ikw::kPrintSetupHelpContext);
        return *m_dialog;
    }

    bool RunModal(CPrinterSetupDlg& dialog) {
        m_app.m_pMainWnd = &dialog;
        dialog.DoModal();
        return dialog.m_bInitialized;
    }

    fw::Application& m_app;
    std::unique_ptr<CPrinterSetupDlg> m_dialog;
};

}  // namespace

CIkwDevApp::CIkwDevApp()
    : fw::Application({FrameworkTextFor(IDS_OUT_OF_MEMORY), FrameworkTextFor(IDS_UNEXPECTED_ERROR),
                       FrameworkTextFor(IDS_HELP_VIEWER_FAILED)}) {}

bool CIkwDevApp::InitInstance() {
    // The new-style save dialog is a component object. Nothing else needs
    // these services, so a failure here is left for that dialog to meet.
    const ikw::OleApartment apartment;

    ikw::Win32PrintServices spooler;
    ikw::Win32DeviceInfoFiles files;
    SetupDialogRunner dialogs(*this);
    // By the time a box is shown the dialog is gone: it has no owner.
    ikw::Win32MessageBoxes messages(nullptr);
    ikw::Win32StringTable strings;
    m_exitCode = ikw::RunProgram(ikw::CommandLineArguments(), spooler, files, dialogs, messages, strings);
    m_helpViewer.CloseAll();
    return false;
}

void CIkwDevApp::OnHelp() {
    const std::u16string executable = ikw::FromWide(ExecutablePath());
    std::optional<uint32_t> context;
    if (m_pMainWnd)
        context = m_pMainWnd->HelpContext();
    // The resource loader picks the string table's language by this too.
    const auto target = ikw::HtmlHelpTarget(executable, context, GetThreadUILanguage(), ikw::IsFile);
    if (!target) {
        fw::Application::OnHelp();
        return;
    }
    if (!m_helpViewer.Show(m_pMainWnd ? m_pMainWnd->Handle() : nullptr, *target))
        ReportHelpViewerFailure();
}

CIkwDevApp g_app;
