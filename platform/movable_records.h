#pragma once
// The movable memory blocks a print dialog's parameter block holds: the
// caller of the dialog allocates them and frees them after the run.

#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

namespace ikw {

// A new movable block holding a copy of the bytes; null when out of memory.
HGLOBAL CopyToMovableBlock(const void* data, SIZE_T size);

// A device name record (DEVNAMES) for the printer; null when out of memory.
HGLOBAL MakeDeviceNames(const PRINTER_INFO_2W& printer);

// Gives the parameter block both new records, freeing those it held, or,
// when either is null (out of memory), frees the other and returns false
// with the block left as it was.
bool HandOverRecords(PRINTDLGW& parameterBlock, HGLOBAL devMode, HGLOBAL devNames);

}  // namespace ikw
