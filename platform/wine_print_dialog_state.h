#pragma once
// Wine's print dialog works on a private copy of the device settings and
// hands it back only when the dialog ends, so while it is open the caller's
// parameter block holds no settings at all. A save must capture exactly what
// the dialog shows, so before one reads the block this brings it up to date
// from Wine's live state, with the paper fields Wine leaves behind made to
// agree with the paper chosen. On Windows, whose dialog keeps the block
// current, it changes nothing.

#include <windows.h>
#include <commdlg.h>

namespace ikw {

// Returns false when the live state was there but could not be copied (out
// of memory); the block is then left as it was.
bool RefreshFromWinePrintDialog(HWND dialog, PRINTDLGW& parameterBlock);

}  // namespace ikw
