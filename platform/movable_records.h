#pragma once
// The movable memory blocks a print dialog's parameter block holds: the
// caller of the dialog allocates them and frees them after the run.

#include <windows.h>
#include <winspool.h>

#include "platform/global_block.h"

namespace ikw {

// A new movable block holding a copy of the bytes; throws std::bad_alloc
// when memory runs out.
GlobalBlock CopyToMovableBlock(const void* data, SIZE_T size);

// A device name record (DEVNAMES) for the printer; throws std::bad_alloc
// when memory runs out.
GlobalBlock MakeDeviceNames(const PRINTER_INFO_2W& printer);

}  // namespace ikw
