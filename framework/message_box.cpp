#include "framework/message_box.h"

#include "framework/application.h"

namespace fw {

int ShowMessageBox(HWND owner, const std::wstring& text, UINT type) {
    return ShowMessageBox(owner, text.c_str(), type);
}

int ShowMessageBox(HWND owner, const wchar_t* text, UINT type) {
    return MessageBoxW(owner, text, Application::Current().ProgramName().c_str(), type);
}

}  // namespace fw
