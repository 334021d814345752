#include "output.h"

#include <cwchar>

namespace driver {
namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// Raw bytes, not the console's code page: the reader is a Python pipe.
// True when the whole line was written.
bool Write(DWORD stream, const std::wstring& line) {
    std::string bytes = Utf8(line + L"\n");
    DWORD written = 0;
    return WriteFile(GetStdHandle(stream), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

unsigned long long ParseUnsigned(const std::wstring& text) {
    wchar_t* end = nullptr;
    unsigned long long value = std::wcstoull(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0')
        throw UsageError{L"not a number: " + text};
    return value;
}

}  // namespace

void Print(const std::wstring& line) { Write(STD_OUTPUT_HANDLE, line); }

bool PrintError(const std::wstring& line) { return Write(STD_ERROR_HANDLE, line); }

void FailWithLastError(const std::wstring& what) {
    const DWORD error = GetLastError();
    throw OperationError{what + L": error " + std::to_wstring(error)};
}

std::wstring HandleText(HWND window) {
    wchar_t text[32];
    swprintf(text, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
    return text;
}

std::wstring HexBytes(const unsigned char* bytes, size_t count) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

HWND ParseHandle(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(ParseUnsigned(text)));
}

int ParseNumber(const std::wstring& text) { return static_cast<int>(ParseUnsigned(text)); }

const std::wstring& Arg(const Args& args, size_t index) {
    if (index >= args.size())
        throw UsageError{L"missing argument"};
    return args[index];
}

}  // namespace driver
