// Subcommands for scripts/bench: when a window first shows, how long a
// button takes to produce a file, and what a process holds. They print
// numbers and judge nothing.
#pragma once

#include "output.h"

namespace driver {

// first-visible CLASS CONTROL_ID TIMEOUT_MS [POLL_MS]
int FirstVisible(const Args& args);

// press-until-file HWND BUTTON_ID PATH TIMEOUT_MS
int PressUntilFile(const Args& args);

// process-resources HWND
int ProcessResources(const Args& args);

}  // namespace driver
