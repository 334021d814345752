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
    StoredDefaults ReadBack(const std::u16string& printer, DefaultsScope scope) override;
    SetOutcome RemoveUserPreferences(const std::u16string& printer) override;
    bool MakeFolder(const std::u16string& folder) override;
};

// The command line of the process ReadBack starts, this program itself:
// kReadBackCommand, then the printer's name and the level, each as hex so
// that no character of a name needs quoting.
inline constexpr wchar_t kReadBackCommand[] = L"--read-back-for-apply";
// That process's work: uses the printer as any new program does, then writes
// the stored record for the level to standard output as hex ("-" for none).
// 0 when the spooler answered, 1 when not.
int WriteDefaultsAsANewProgramReadsThem(const wchar_t* printerHex, const wchar_t* scopeName);

}  // namespace ikw::settings
