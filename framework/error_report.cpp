#include "framework/error_report.h"

#include <windows.h>

#include <new>

#include "framework/application.h"
#include "framework/message_box.h"

namespace fw {

void ReportCurrentException() {
    // Texts loaded at the start: nothing here allocates, since memory may be
    // what ran out.
    const Application& application = Application::Current();
    const wchar_t* text = nullptr;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        text = application.OutOfMemoryText();
    } catch (...) {
        text = application.UnexpectedErrorText();
    }
    // System-modal: the box must not depend on the window that just failed.
    ShowMessageBox(nullptr, text, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
}

}  // namespace fw
