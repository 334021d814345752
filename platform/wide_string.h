#pragma once
// The core's UTF-16 strings and the Win32 API's wide strings are the same code
// units under different types: these only change the type.

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");

namespace ikw {

inline std::wstring ToWide(const std::u16string& s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}

inline std::u16string FromWide(const wchar_t* s, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(s), length);
}

inline std::u16string FromWide(const wchar_t* s) { return FromWide(s, std::char_traits<wchar_t>::length(s)); }

inline std::u16string FromWide(const std::wstring& s) { return FromWide(s.data(), s.size()); }

}  // namespace ikw
