#pragma once
// How the core compares printer names.

#include <string>

namespace ikw {

// Printer names are compared by the platform's locale-aware, case-sensitive
// comparison wherever a stored file depends on the result (the device info
// tail), so the comparison stays a platform service.
class NameComparison {
public:
    virtual ~NameComparison() = default;
    // Same meaning as lstrcmpW: 0 when the names are equal, non-zero otherwise.
    virtual int CompareNames(const std::u16string& a, const std::u16string& b) const = 0;
};

// Whether two names name one printer, as the spooler matches them: without
// regard to case. What a file names is looked up this way.
class PrinterNameMatch {
public:
    virtual ~PrinterNameMatch() = default;
    virtual bool IsSamePrinterName(const std::u16string& a, const std::u16string& b) const = 0;
};

}  // namespace ikw
