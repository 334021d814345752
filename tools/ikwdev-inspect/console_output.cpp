#include "tools/ikwdev-inspect/console_output.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ikw::inspect {

WriteFailure WriteToStream(std::FILE* stream, const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() || std::fflush(stream) != 0)
        return std::string(errno != 0 ? std::strerror(errno) : "write error");
    return std::nullopt;
}

#ifdef _WIN32

// A console shows UTF-16 through WriteConsoleW whatever its code page; a
// pipe or a file gets the UTF-8 bytes.
WriteFailure WriteToStandardHandle(unsigned long stdHandle, std::FILE* stream, const std::string& utf8) {
    const HANDLE handle = GetStdHandle(stdHandle);
    DWORD mode = 0;
    if (!utf8.empty() && GetConsoleMode(handle, &mode)) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
        DWORD written = 0;
        if (!WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) ||
            written != wide.size())
            return "the console took " + std::to_string(written) + " of " + std::to_string(wide.size()) +
                   " characters (error " + std::to_string(GetLastError()) + ")";
        return std::nullopt;
    }
    return WriteToStream(stream, utf8);
}

#endif

}  // namespace ikw::inspect
