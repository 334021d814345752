#pragma once
// The whole run of the program: find the printers and the default printer,
// open the setup dialog, and step around printers on which it cannot open.

#include <string>
#include <vector>

#include "interfaces/message_boxes.h"
#include "interfaces/print_services.h"
#include "interfaces/string_table.h"

namespace ikw {

// The printer that the setup dialog is never opened on by choice: it has no
// settings worth saving, so a substitute is made default in its place.
inline const std::u16string kExcludedPrinter = u"Microsoft Print to PDF";

// Opens one printer setup dialog at a time and runs it modally.
class SetupDialogHost {
public:
    virtual ~SetupDialogHost() = default;
    // Destroys any previous dialog, constructs a new one that knows both
    // names, runs it modally and tells whether its window was ever created.
    virtual bool RunSetupDialog(const std::u16string& defaultPrinter, const std::u16string& substitutePrinter) = 0;
    // Destroys the current dialog, if any, and forgets the main window.
    virtual void DestroySetupDialog() = 0;
};

// The n-th printer name (from 0, in list order) that is not the excluded
// printer; empty when there are not that many.
std::u16string GetSubstitutePrinterName(std::size_t n, const std::vector<std::u16string>& printers,
                                        const std::u16string& excludedPrinter);

// Runs the program from start to end. Returns when the dialog has closed; the
// process then ends with exit code 0. A default printer the program changed
// is the user's own again by then, or the user is told which printer is, in
// the language of strings.
void RunStartUp(PrintServices& printServices, SetupDialogHost& dialogs, MessageBoxes& messages, StringTable& strings);

}  // namespace ikw
