#pragma once
// When the setup dialog could only open with a substitute default printer, it
// hands the default back at once and shows the user's own printer instead.

#include <cstdint>
#include <string>

#include "interfaces/print_services.h"

namespace ikw {

// The setup dialog's child windows, walked first child then next sibling.
class DialogChildWindows {
public:
    using Child = std::uintptr_t;  // 0 ends the walk
    virtual ~DialogChildWindows() = default;
    virtual Child FirstChild() = 0;
    virtual Child NextSibling(Child child) = 0;
    // The window class name, at most 99 characters; empty when unreadable.
    virtual std::u16string ClassName(Child child) = 0;
    // The control id (the low 16 bits of the window identifier).
    virtual unsigned ControlId(Child child) = 0;
    // Selects the first combo box entry whose whole text is the name,
    // ignoring case; the index, or -1 with the selection left as it was.
    virtual int SelectEntryNamed(Child comboBox, const std::u16string& name) = 0;
    // Tells the dialog that the user chose another entry in that combo box.
    virtual void NotifySelectionChanged(Child comboBox) = 0;
};

// The printer list of the print setup dialog (cmb1 of its template, on
// Windows and in Wine alike; the dialog checks the two agree); the paper and
// source lists are combo boxes too.
inline constexpr unsigned kPrinterListControlId = 0x470;

// Does nothing without a substitute. Otherwise sets the default printer back
// and selects it in the dialog's printer list, when the list holds it.
void RestoreDefaultPrinter(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter,
                           PrintServices& printServices, DialogChildWindows& children);

}  // namespace ikw
