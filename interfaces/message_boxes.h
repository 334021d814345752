#pragma once
// The message boxes through which the program tells the user what it could
// not do. The core composes the text; the platform shows it.

#include <string>

namespace ikw {

enum class MessageIcon {
    Exclamation,  // MB_ICONEXCLAMATION: something the user chose cannot be used
    Stop,         // MB_ICONSTOP: the operation failed
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A modal box with a single OK button, titled with the program's name
    // (the executable's file name without extension) and owned by the setup
    // dialog while there is one. Returns when the user has closed it.
    virtual void ShowMessage(const std::u16string& text, MessageIcon icon) = 0;
};

}  // namespace ikw
