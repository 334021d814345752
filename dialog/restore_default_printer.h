#pragma once
// When the setup dialog could only open with a substitute default printer, it
// hands the default back at once and shows the user's own printer instead.

#include <cstdint>
#include <string>

#include "platform/print_services.h"

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
    // Selects the first combo box entry after entry 0 (wrapping round to it)
    // that starts with the prefix, ignoring case; the index, or -1.
    virtual int SelectEntryStartingWith(Child comboBox, const std::u16string& prefix) = 0;
    // Tells the dialog that the user chose another entry in that combo box.
    virtual void NotifySelectionChanged(Child comboBox) = 0;
};

// Does nothing without a substitute. Otherwise sets the default printer back
// and selects it in the first combo box that lists it.
void RestoreDefaultPrinter(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter,
                           PrintServices& printServices, DialogChildWindows& children);

}  // namespace ikw
