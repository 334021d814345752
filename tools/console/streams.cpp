#include "tools/console/streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ikw::console {

namespace {

WriteFailure WriteToStream(std::FILE* stream, const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size() || std::fflush(stream) != 0)
        return std::string(errno != 0 ? std::strerror(errno) : "write error");
    return std::nullopt;
}

#ifdef _WIN32

// stdHandle: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE, whose C stream is stream.
WriteFailure WriteToStandardHandle(DWORD stdHandle, std::FILE* stream, const std::string& utf8) {
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

}  // namespace

Streams StandardStreams() {
#ifdef _WIN32
    return {[](const std::string& text) { return WriteToStandardHandle(STD_OUTPUT_HANDLE, stdout, text); },
            [](const std::string& text) { WriteToStandardHandle(STD_ERROR_HANDLE, stderr, text); }};
#else
    return {[](const std::string& text) { return WriteToStream(stdout, text); },
            [](const std::string& text) { WriteToStream(stderr, text); }};
#endif
}

// Nothing more should be written once a write fails: the reader already has
// a cut-off output, and only the exit status can tell it so.
bool WriteOut(const Streams& streams, const std::string& prefix, const std::string& text) {
    const WriteFailure failure = streams.out(text);
    if (failure)
        streams.err(prefix + "cannot write the output: " + *failure + "\n");
    return !failure;
}

}  // namespace ikw::console
