#pragma once
// A printer's default settings and the capture folder, carried out with the
// Win32 API.

#include "tools/ikwdev-settings/settings.h"

namespace ikw::settings {

class Win32PrinterDefaults : public PrinterDefaults {
public:
    SetOutcome SetDefaults(const std::u16string& printer, const std::vector<std::uint8_t>& record,
                           DefaultsScope scope) override;
    StoredDefaults ReadDefaults(const std::u16string& printer, DefaultsScope scope) override;
    SetOutcome RemoveUserPreferences(const std::u16string& printer) override;
    bool MakeFolder(const std::u16string& folder) override;
};

}  // namespace ikw::settings
