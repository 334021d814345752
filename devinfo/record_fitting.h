#pragma once
// A settings record from a device info file, made fit for the printer's
// driver before the driver sees it. The file may come from another driver,
// another version of it or another printer: only what this driver can read
// as the file meant it is passed on.

#include <cstdint>
#include <vector>

#include "interfaces/name_comparison.h"

namespace ikw {

// The file's record made fit for the printer's driver before the driver sees
// it, and what of the file's settings did not survive that.
struct FittedRecord {
    std::vector<std::uint8_t> record;
    // The file's driver-private part was left out: the driver uses its own
    // defaults for everything it keeps there.
    bool privateReset = false;
    // The file's public part ends before dmFields ends, so nothing in it
    // says which fields hold settings: none is vouched for.
    bool noFieldList = false;
    std::uint32_t fieldsKept = 0;     // the dmFields bits the fitted record vouches for
    std::uint32_t fieldsDropped = 0;  // bits the file set that the fitted record cannot vouch for
};

// driverRecord: the record the printer's driver makes today (at least
// kMinDmSize bytes). The public part is cut to the driver's length (or
// padded with zeroes up to the end of dmFields), and a dmFields bit is kept
// only for a field that both the file and the fitted record hold whole. The
// private part is the driver's own layout: it is passed on only when its
// size, dmDriverVersion and the record's printer name all match the driver's
// own record, since a driver reads whatever it is given as its own layout.
// The driver's own dmDeviceName is put in. The record must be one
// DecodeDeviceInfo accepted.
FittedRecord FitRecordToDriver(const std::vector<std::uint8_t>& record, const std::vector<std::uint8_t>& driverRecord,
                               const PrinterNameMatch& names);

}  // namespace ikw
