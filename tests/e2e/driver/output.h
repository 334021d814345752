// Text in and out of the test driver. The tests read its standard output as
// UTF-8, one fact per line; window handles travel as hexadecimal numbers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

void Print(const std::wstring& line);
// True when the whole line was written.
bool PrintError(const std::wstring& line);
std::wstring HandleText(HWND window);
std::wstring HexBytes(const unsigned char* bytes, size_t count);

// Both throw UsageError on text that is not a number.
HWND ParseHandle(const std::wstring& text);
int ParseNumber(const std::wstring& text);

struct UsageError {
    std::wstring message;
};

// A window message or window search that the system refused: the test must
// stop with the reason, not go on as if the message had arrived.
struct OperationError {
    std::wstring message;
};

// Throws OperationError: what failed, with GetLastError's code.
[[noreturn]] void FailWithLastError(const std::wstring& what);

// A subcommand's arguments, after the command word.
using Args = std::vector<std::wstring>;
// The argument at index; UsageError when there are fewer.
const std::wstring& Arg(const Args& args, size_t index);

}  // namespace driver
