#include "app/start_up.h"

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

// The default printer cannot be used: make the first other printer default
// for the one attempt. The dialog sets the default back once its window
// exists; if it never does, nothing else would, so it is put back here rather
// than leaving the user's system setting changed.
void RunWithSubstituteForExcluded(PrintServices& printServices, SetupDialogHost& dialogs,
                                  const std::vector<std::u16string>& printers,
                                  const std::u16string& defaultPrinter) {
    const std::u16string substitute = GetSubstitutePrinterName(0, printers, kExcludedPrinter);
    printServices.ChangeDefaultPrinter(substitute);
    if (!dialogs.RunSetupDialog(defaultPrinter, substitute))
        printServices.ChangeDefaultPrinter(defaultPrinter);
}

// The dialog cannot open on the current default (a broken driver, a vanished
// queue): try each other printer in turn as a substitute default. The first
// candidate may be the default itself; trying it again is harmless.
void RunWithRetries(PrintServices& printServices, SetupDialogHost& dialogs,
                    const std::vector<std::u16string>& printers,
                    const std::u16string& defaultPrinter) {
    bool opened = dialogs.RunSetupDialog(defaultPrinter, u"");
    for (std::size_t n = 0; !opened; ++n) {
        const std::u16string substitute = GetSubstitutePrinterName(n, printers, kExcludedPrinter);
        if (substitute.empty()) {
            printServices.ChangeDefaultPrinter(defaultPrinter);
            break;
        }
        printServices.ChangeDefaultPrinter(substitute);
        opened = dialogs.RunSetupDialog(defaultPrinter, substitute);
    }
}

}  // namespace

void RunStartUp(PrintServices& printServices, SetupDialogHost& dialogs) {
    const std::optional<std::vector<std::u16string>> printers = printServices.EnumerateLocalPrinters();
    if (!printers)
        return;
    const std::u16string defaultPrinter = printServices.QueryDefaultPrinter();

    if (defaultPrinter == kExcludedPrinter)
        RunWithSubstituteForExcluded(printServices, dialogs, *printers, defaultPrinter);
    else
        RunWithRetries(printServices, dialogs, *printers, defaultPrinter);

    dialogs.DestroySetupDialog();
}

}  // namespace ikw
