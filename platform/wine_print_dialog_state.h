#pragma once
// The device records one save works on, as copies of its own. Wine's print
// dialog works on a private copy of the device settings and hands it back
// only when the dialog ends, so while it is open the caller's parameter block
// holds no settings at all: under Wine the copies are taken from Wine's live
// state, with the paper fields Wine leaves behind made to agree with the
// paper chosen. On Windows, whose dialog keeps the block current, they are
// taken from the block. Either way nothing the dialog does while the save
// runs (another printer chosen, a command that reaches the disabled window)
// can free them under it.

#include <windows.h>
#include <commdlg.h>

#include "platform/global_block.h"

namespace ikw {

struct DialogRecordCopies {
    GlobalBlock devMode;   // empty when the dialog shows no settings a save may use
    GlobalBlock devNames;  // empty when there is no device name record
};

// Throws std::bad_alloc when a copy cannot be made.
DialogRecordCopies CopyDialogRecords(HWND dialog, const PRINTDLGW& parameterBlock);

}  // namespace ikw
