#include "framework/error_report.h"

#include <windows.h>

#include <new>
#include <string>

#include "framework/message_box.h"

namespace fw {

void ReportCurrentException() {
    std::wstring text;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        text = L"Out of memory.";
    } catch (...) {
        text = L"An unexpected error occurred.";
    }
    // System-modal: the box must not depend on the window that just failed.
    ShowMessageBox(nullptr, text, MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
}

}  // namespace fw
