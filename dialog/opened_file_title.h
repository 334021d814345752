#pragma once
// The setup dialog's title while a device info file is open, so that a user
// with several open can tell which window holds which file.

#include <string>

namespace ikw {

// The platform dialog's own title, then " - " and the file's name without
// its folder: "Print Setup - office.dev". Without a file, the title alone.
std::u16string TitleWithOpenedFile(const std::u16string& title, const std::u16string& openedFile);

}  // namespace ikw
