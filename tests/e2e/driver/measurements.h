// Subcommands for scripts/bench: when a window first shows, how long a
// button takes to produce a file, and what a process holds. They print
// numbers and judge nothing.
#pragma once

#include <string>
#include <vector>

namespace driver {

using Words = std::vector<std::wstring>;

// first-visible CLASS CONTROL_ID TIMEOUT_MS [POLL_MS]
int FirstVisible(const Words& args);

// press-until-file HWND BUTTON_ID PATH TIMEOUT_MS
int PressUntilFile(const Words& args);

// process-resources HWND
int ProcessResources(const Words& args);

}  // namespace driver
