#include "dialog/restore_default_printer.h"

namespace ikw {

void RestoreDefaultPrinter(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter,
                           PrintServices& printServices, DialogChildWindows& children) {
    if (substitutePrinter.empty())
        return;
    // Before the user can act, the system default is theirs again; the
    // dialog itself stays on the substitute until its combo box is changed.
    printServices.ChangeDefaultPrinter(defaultPrinter);
    for (auto child = children.FirstChild(); child != 0; child = children.NextSibling(child)) {
        if (children.ClassName(child) != u"ComboBox")
            continue;
        if (children.SelectEntryStartingWith(child, defaultPrinter) >= 0) {
            children.NotifySelectionChanged(child);
            return;
        }
    }
}

}  // namespace ikw
