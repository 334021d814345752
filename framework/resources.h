#pragma once
// Texts from the program's string table, in the interface language.

#include <windows.h>

#include <string>

namespace fw {

// The string with that id; empty when the resources hold none.
std::wstring LoadResourceString(UINT id);

}  // namespace fw
