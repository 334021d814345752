#include "framework/resources.h"

namespace fw {

std::wstring LoadResourceString(UINT id) {
    // With no buffer, LoadStringW points into the resource itself and returns
    // its length, so no text is ever cut to a buffer's size.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return (length > 0 && text) ? std::wstring(text, length) : std::wstring();
}

}  // namespace fw
