// Subcommands for driving a save: putting a path into the save dialog and
// waiting until the program has acted on what it was given.
#pragma once

#include "output.h"

namespace driver {

// set-text HWND ID TEXT: replaces the text of the window's child, as typing
// would, without depending on focus or the keyboard layout.
int SetText(const Args& args);

// settle HWND [TIMEOUT_MS]: returns once the window's thread has taken a
// message, so whatever it was doing before it went back to its message loop
// (or into a modal one) is over. Exit code 1 when it took none in time.
int Settle(const Args& args);

// paper-and-bins PRINTER: what the printer's driver offers in the print
// dialog's paper and source lists (DeviceCapabilitiesW), one tab-separated
// line each: "paper NUMBER WIDTH LENGTH NAME", the size in tenths of a
// millimetre, and "bin NUMBER NAME".
int PaperAndBins(const Args& args);

}  // namespace driver
