#include "framework/window.h"

#include "framework/error_report.h"

namespace fw {
namespace {
const wchar_t kWindowObjectProperty[] = L"IkwDev.WindowObject";
}

bool Window::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Window::Default() {
    return CallWindowProcW(m_originalProc, m_handle, m_current.message, m_current.wParam, m_current.lParam);
}

void Window::Subclass(HWND hWnd) {
    m_handle = hWnd;
    SetPropW(hWnd, kWindowObjectProperty, this);
    m_originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
}

LRESULT CALLBACK Window::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Window*>(GetPropW(hWnd, kWindowObjectProperty));
    const WNDPROC original = self->m_originalProc;
    if (message == WM_NCDESTROY) {
        // The object may outlive its window: let go of the window first.
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(hWnd, kWindowObjectProperty);
        self->m_handle = nullptr;
        return CallWindowProcW(original, hWnd, message, wParam, lParam);
    }

    // Handlers may nest (a handler sending another message), so the message
    // being handled is saved around the call.
    const CurrentMessage outer = self->m_current;
    self->m_current = {message, wParam, lParam};
    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnWndMsg(message, wParam, lParam, result);
    } catch (...) {
        // The window goes on after the user has been told.
        ReportCurrentException();
        handled = true;
        result = 0;
    }
    self->m_current = outer;
    return handled ? result : CallWindowProcW(original, hWnd, message, wParam, lParam);
}

}  // namespace fw
