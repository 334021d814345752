#pragma once
// A spooler in memory that records every change of the default printer.

#include <algorithm>
#include <string>
#include <vector>

#include "interfaces/print_services.h"

namespace ikw::test_support {

class FakePrintServices : public PrintServices {
public:
    std::vector<std::u16string> printers;
    std::vector<std::u16string> connections;  // the user's print-server printers
    bool listAllocationFails = false;
    std::u16string listFailure = u"The RPC server is unavailable.";
    std::u16string defaultPrinter;
    std::vector<std::u16string> defaultsSet;  // every SetDefaultPrinter, in order
    // Each entry refuses one attempt to make that name default, then is used
    // up, as a driver still being set up refuses until it is ready.
    std::vector<std::u16string> refusedDefaults;

    std::optional<std::vector<std::u16string>> EnumerateLocalPrinters() override {
        if (listAllocationFails)
            return std::nullopt;
        return printers;
    }
    std::optional<std::vector<std::u16string>> EnumerateInstalledPrinters() override {
        if (listAllocationFails)
            return std::nullopt;
        std::vector<std::u16string> installed = printers;
        installed.insert(installed.end(), connections.begin(), connections.end());
        return installed;
    }
    std::u16string WhyListFailed() const override { return listFailure; }
    std::u16string QueryDefaultPrinter() override { return defaultPrinter; }
    // An empty name leaves the choice to the spooler, which keeps a default
    // that still exists, or else takes the first printer.
    bool ChangeDefaultPrinter(const std::u16string& name) override {
        defaultsSet.push_back(name);
        const auto refusal = std::find(refusedDefaults.begin(), refusedDefaults.end(), name);
        if (refusal != refusedDefaults.end()) {
            refusedDefaults.erase(refusal);
            return false;
        }
        if (!name.empty())
            defaultPrinter = name;
        else if (std::find(printers.begin(), printers.end(), defaultPrinter) == printers.end())
            defaultPrinter = printers.empty() ? u"" : printers.front();
        return true;
    }
    // Ordinal and without regard to case, as the spooler's; folding ASCII and
    // the Latin-1 letters is all the tests' names need.
    bool IsSamePrinterName(const std::u16string& a, const std::u16string& b) const override {
        const auto fold = [](char16_t c) {
            const bool upper = (c >= u'A' && c <= u'Z') || (c >= u'\u00c0' && c <= u'\u00de' && c != u'\u00d7');
            return upper ? static_cast<char16_t>(c + 0x20) : c;
        };
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
    }
    // Plain names compare the same way under lstrcmpW.
    int CompareNames(const std::u16string& a, const std::u16string& b) const override { return a.compare(b); }
};

}  // namespace ikw::test_support
