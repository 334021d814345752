// The print system as the program sees it, asked independently of it.
#pragma once

#include <string>
#include <vector>

namespace driver {

// What GetDefaultPrinterW answers; empty when there is no default printer.
// Under Wine, loading the spooler first re-reads the printers from CUPS and
// makes the CUPS default the default again.
std::wstring DefaultPrinter();

// The default printer as the last program left it: the per-user registry
// value the spooler keeps it in, read without loading the spooler.
std::wstring StoredDefaultPrinter();

// Adds a printer of Wine's own, which CUPS does not hold, named name, with
// the driver and port of the printer like. false when the spooler refuses.
bool AddPrinterLike(const std::wstring& name, const std::wstring& like);

// Removes a printer AddPrinterLike added, and the driver it got.
bool RemovePrinterAdded(const std::wstring& name);

// SetDefaultPrinterW's answer.
bool MakeDefaultPrinter(const std::wstring& name);

// The printer's default device settings record, exactly the
// dmSize + dmDriverExtra bytes the driver hands out. Empty on failure.
std::vector<unsigned char> DefaultDeviceSettings(const std::wstring& printer);

}  // namespace driver
