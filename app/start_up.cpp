#include "app/start_up.h"

#include <algorithm>

#include "devinfo/message_texts.h"

namespace ikw {

std::u16string GetSubstitutePrinterName(std::size_t n, const std::vector<std::u16string>& printers,
                                        const std::u16string& excludedPrinter) {
    // Each excluded entry pushes the target one place further down the list,
    // so the result is the n-th name that is not excluded.
    std::size_t target = n;
    for (std::size_t j = 0; j < printers.size(); ++j) {
        if (printers[j] == excludedPrinter)
            ++target;
        else if (j >= target)
            return printers[j];
    }
    return {};
}

namespace {

// The names the program made the system default, in the order it did so.
using DefaultsMade = std::vector<std::u16string>;

// The dialog cannot open on the current default (a broken driver, a vanished
// queue, or the excluded printer): try each other printer in turn as a
// substitute default until a dialog opens. The first candidate may be the
// default itself; trying it again is harmless. Returns the names made default.
DefaultsMade RunWithSubstitutes(PrintServices& printServices, SetupDialogHost& dialogs,
                                const std::vector<std::u16string>& printers, const std::u16string& defaultPrinter) {
    DefaultsMade made;
    for (std::size_t n = 0;; ++n) {
        const std::u16string substitute = GetSubstitutePrinterName(n, printers, kExcludedPrinter);
        if (substitute.empty())
            return made;
        if (printServices.ChangeDefaultPrinter(substitute))
            made.push_back(substitute);
        if (dialogs.RunSetupDialog(defaultPrinter, substitute))
            return made;
    }
}

std::u16string DefaultNotHandedBackText(StringTable& strings, const std::u16string& defaultPrinter,
                                        const std::u16string& nowDefault) {
    const std::u16string now = nowDefault.empty() ? ComposeMessage(strings, IDS_NOW_NO_DEFAULT)
                                                  : ComposeMessage(strings, IDS_NOW_DEFAULT, {nowDefault});
    if (defaultPrinter.empty())
        return ComposeMessage(strings, IDS_NO_DEFAULT_TO_RESTORE, {now});
    return ComposeMessage(strings, IDS_DEFAULT_NOT_RESTORED, {defaultPrinter, now});
}

// The default was changed only to get the dialog open. The dialog sets it
// back once its window exists, but that can fail, no dialog may have opened
// at all, and "no default" cannot be set back; so the end of the run looks
// again. A default the user chose meanwhile, one the program never set, is
// left alone.
void HandTheDefaultBack(PrintServices& printServices, MessageBoxes& messages, StringTable& strings,
                        const std::u16string& defaultPrinter, const DefaultsMade& made) {
    const std::u16string current = printServices.QueryDefaultPrinter();
    if (current == defaultPrinter || std::find(made.begin(), made.end(), current) == made.end())
        return;
    if (printServices.ChangeDefaultPrinter(defaultPrinter) && printServices.QueryDefaultPrinter() == defaultPrinter)
        return;
    messages.ShowMessage(DefaultNotHandedBackText(strings, defaultPrinter, printServices.QueryDefaultPrinter()),
                         MessageIcon::Exclamation);
}

}  // namespace

void RunStartUp(PrintServices& printServices, SetupDialogHost& dialogs, MessageBoxes& messages, StringTable& strings) {
    const std::optional<std::vector<std::u16string>> printers = printServices.EnumerateLocalPrinters();
    // Without the list neither the default printer's stand-ins nor the
    // dialog's own list can be had: ending without a word would look like a
    // program that never started.
    if (!printers) {
        messages.ShowMessage(ComposeMessage(strings, IDS_PRINTER_LIST_FAILED_AT_START, {printServices.WhyListFailed()}),
                             MessageIcon::Exclamation);
        return;
    }
    const std::u16string defaultPrinter = printServices.QueryDefaultPrinter();

    DefaultsMade made;
    if (defaultPrinter == kExcludedPrinter) {
        // Never opened on by choice; with no other printer at all, it is
        // the only one the dialog can show.
        made = RunWithSubstitutes(printServices, dialogs, *printers, defaultPrinter);
        if (GetSubstitutePrinterName(0, *printers, kExcludedPrinter).empty())
            dialogs.RunSetupDialog(defaultPrinter, u"");
    } else if (!dialogs.RunSetupDialog(defaultPrinter, u"")) {
        made = RunWithSubstitutes(printServices, dialogs, *printers, defaultPrinter);
    }

    HandTheDefaultBack(printServices, messages, strings, defaultPrinter, made);
    dialogs.DestroySetupDialog();
}

}  // namespace ikw
