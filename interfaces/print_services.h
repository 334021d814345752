#pragma once
// The print spooler as the program sees it. The core decides; an implementation
// of this interface only carries out (Win32 spooler calls on Windows and Wine,
// a scripted fake in the unit tests).

#include <optional>
#include <string>
#include <vector>

#include "interfaces/name_comparison.h"

namespace ikw {

class PrintServices : public NameComparison, public PrinterNameMatch {
public:
    // The local printers' names in the spooler's order; nullopt when the
    // spooler could not give the list (it is stopped, or refused) or the
    // buffer for it could not be allocated. An empty list means no printers,
    // never a failure.
    virtual std::optional<std::vector<std::u16string>> EnumerateLocalPrinters() = 0;
    // The printers a saved file may name: the local ones, then the user's
    // connections to print servers (\\server\queue), which the print dialog
    // lists too; nullopt as above.
    virtual std::optional<std::vector<std::u16string>> EnumerateInstalledPrinters() = 0;
    // Why the last list that came back as nullopt could not be had, in the
    // system's words.
    virtual std::u16string WhyListFailed() const = 0;
    // The system default printer, or an empty name when there is none.
    virtual std::u16string QueryDefaultPrinter() = 0;
    // An empty name leaves the choice to the spooler. False when the spooler
    // refused (a network printer out of reach, a driver still being set up).
    virtual bool ChangeDefaultPrinter(const std::u16string& name) = 0;
};

}  // namespace ikw
