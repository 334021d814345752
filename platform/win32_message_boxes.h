#pragma once
// The program's message boxes, shown with MessageBoxW.

#include <windows.h>

#include "interfaces/message_boxes.h"

namespace ikw {

// Boxes owned by one window, titled with the program's name.
class Win32MessageBoxes : public MessageBoxes {
public:
    explicit Win32MessageBoxes(HWND owner) : m_owner(owner) {}
    void ShowMessage(const std::u16string& text, MessageIcon icon) override;

private:
    HWND m_owner;
};

}  // namespace ikw
