#include "platform/win32_message_boxes.h"

#include "framework/message_box.h"
#include "platform/wide_string.h"

namespace ikw {

void Win32MessageBoxes::ShowMessage(const std::u16string& text, MessageIcon icon) {
    const UINT iconFlag = icon == MessageIcon::Stop ? MB_ICONSTOP : MB_ICONEXCLAMATION;
    fw::ShowMessageBox(m_owner, ToWide(text), MB_OK | iconFlag);
}

}  // namespace ikw
