#pragma once
// Failures that escape a message handler are shown to the user; the window
// they happened in goes on.

namespace fw {

// Call inside a catch block: shows a system-modal error box for the exception
// being handled.
void ReportCurrentException();

}  // namespace fw
