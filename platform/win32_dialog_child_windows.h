#pragma once
// The setup dialog's child windows, as the restore-default walk sees them.

#include <windows.h>

#include "dialog/restore_default_printer.h"

namespace ikw {

class Win32DialogChildWindows : public DialogChildWindows {
public:
    explicit Win32DialogChildWindows(HWND dialog) : m_dialog(dialog) {}
    Child FirstChild() override;
    Child NextSibling(Child child) override;
    std::u16string ClassName(Child child) override;
    unsigned ControlId(Child child) override;
    int SelectEntryNamed(Child comboBox, const std::u16string& name) override;
    void NotifySelectionChanged(Child comboBox) override;

private:
    HWND m_dialog;
};

}  // namespace ikw
