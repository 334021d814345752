#pragma once
// A spooler in memory that records every change of the default printer.

#include <algorithm>
#include <string>
#include <vector>

#include "platform/print_services.h"

namespace ikw::testing {

class FakePrintServices : public PrintServices {
public:
    std::vector<std::u16string> printers;
    bool listAllocationFails = false;
    std::u16string defaultPrinter;
    std::vector<std::u16string> defaultsSet;  // every SetDefaultPrinter, in order

    std::optional<std::vector<std::u16string>> EnumerateLocalPrinters() override {
        if (listAllocationFails)
            return std::nullopt;
        return printers;
    }
    std::u16string QueryDefaultPrinter() override { return defaultPrinter; }
    // An empty name leaves the choice to the spooler, which keeps a default
    // that still exists, or else takes the first printer.
    void ChangeDefaultPrinter(const std::u16string& name) override {
        defaultsSet.push_back(name);
        if (!name.empty())
            defaultPrinter = name;
        else if (std::find(printers.begin(), printers.end(), defaultPrinter) == printers.end())
            defaultPrinter = printers.empty() ? u"" : printers.front();
    }
    // Plain names compare the same way under lstrcmpW.
    int CompareNames(const std::u16string& a, const std::u16string& b) const override { return a.compare(b); }
};

}  // namespace ikw::testing
