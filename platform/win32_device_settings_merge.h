#pragma once
// A settings record from a file meets the printer's driver before anything
// else sees it: the driver merges it into its own record and so checks every
// value, as a record from another driver version may hold values this one
// does not know.

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ikw {

// The record the driver makes for the printer, exactly dmSize + dmDriverExtra
// bytes long; nullopt when it gives none, or one whose sizes disagree with
// the size it reported (ClaimedSizeWithin) or whose dmSize is shorter than
// kMinDmSize. The one question to a driver about its own record: the open
// fits files to it, and the live copy of a save takes the size from it.
std::optional<std::vector<std::uint8_t>> DriverOwnRecord(const std::u16string& printer);

// The driver's record with the given record merged in (DocumentPropertiesW
// with DM_IN_BUFFER | DM_OUT_BUFFER); nullopt when the driver refuses. The
// given record must already fit the driver's sizes.
std::optional<std::vector<std::uint8_t>> MergeThroughDriver(const std::u16string& printer,
                                                            const std::vector<std::uint8_t>& record);

// Makes the parameter block start the dialog on the printer with the record:
// its settings and device name records, replacing any it held. False when
// the printer cannot be opened, and the block is then as it was; running out
// of memory throws std::bad_alloc.
bool StartDialogFromRecord(PRINTDLGW& parameterBlock, const std::u16string& printer,
                           const std::vector<std::uint8_t>& record);

}  // namespace ikw
