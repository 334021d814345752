#pragma once
// The spooler through the Win32 API (Windows, and Wine's CUPS bridge).

#include "interfaces/print_services.h"

namespace ikw {

class Win32PrintServices : public PrintServices {
public:
    std::optional<std::vector<std::u16string>> EnumerateLocalPrinters() override;
    std::optional<std::vector<std::u16string>> EnumerateInstalledPrinters() override;
    std::u16string QueryDefaultPrinter() override;
    bool ChangeDefaultPrinter(const std::u16string& name) override;
    bool IsSamePrinterName(const std::u16string& a, const std::u16string& b) const override;
    int CompareNames(const std::u16string& a, const std::u16string& b) const override;
    std::u16string WhyListFailed() const override;

private:
    std::optional<std::vector<std::u16string>> EnumeratePrinters(unsigned long flags);
    std::u16string m_listFailure;
};

}  // namespace ikw
