#include "dialog/restore_default_printer.h"

namespace ikw {

void RestoreDefaultPrinter(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter,
                           PrintServices& printServices, DialogChildWindows& children) {
    if (substitutePrinter.empty())
        return;
    // Before the user can act, the system default is theirs again; the
    // dialog itself stays on the substitute until its combo box is changed.
    printServices.ChangeDefaultPrinter(defaultPrinter);
    // No printer has the empty name; the substitute stays shown.
    if (defaultPrinter.empty())
        return;
    // Only the whole name in the printer list will do: a longer name that
    // begins with it is another printer, and a paper or source name that
    // happens to match is no printer at all. Either would make a save write
    // another printer's settings while the user's own is the default.
    for (auto child = children.FirstChild(); child != 0; child = children.NextSibling(child)) {
        if (children.ClassName(child) != u"ComboBox" || children.ControlId(child) != kPrinterListControlId)
            continue;
        if (children.SelectEntryNamed(child, defaultPrinter) >= 0)
            children.NotifySelectionChanged(child);
        return;
    }
}

}  // namespace ikw
