// Text in and out of the test driver. The tests read its standard output as
// UTF-8, one fact per line; window handles travel as hexadecimal numbers.
#pragma once

#include <windows.h>

#include <string>

namespace driver {

void Print(const std::wstring& line);
void PrintError(const std::wstring& line);
std::wstring HandleText(HWND window);
std::wstring HexBytes(const unsigned char* bytes, size_t count);

// Both throw UsageError on text that is not a number.
HWND ParseHandle(const std::wstring& text);
int ParseNumber(const std::wstring& text);

struct UsageError {
  std::wstring message;
};

}  // namespace driver
