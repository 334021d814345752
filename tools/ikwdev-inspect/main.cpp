// The platform's part of ikwdev-inspect: the command line, opening files and
// writing to the console.

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/ikwdev-inspect/inspect.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using ikw::inspect::FileContents;

// One byte more than the longest valid file is enough to tell it is not one,
// without reading a large file someone passed by mistake.
FileContents ReadAtMostOneFileMore(std::FILE* file) {
    FileContents contents;
    if (file == nullptr) {
        contents.error = std::string("cannot open: ") + std::strerror(errno);
        return contents;
    }
    contents.bytes.resize(ikw::kMaxDeviceInfoFileSize + 1);
    contents.bytes.resize(std::fread(contents.bytes.data(), 1, contents.bytes.size(), file));
    if (std::ferror(file))
        contents.error = std::string("cannot read: ") + std::strerror(errno);
    std::fclose(file);
    return contents;
}

#ifdef _WIN32

// A console shows UTF-16 through WriteConsoleW whatever its code page; a
// pipe or a file gets the UTF-8 bytes.
void Write(DWORD stdHandle, std::FILE* stream, const std::string& utf8) {
    const HANDLE handle = GetStdHandle(stdHandle);
    DWORD mode = 0;
    if (!utf8.empty() && GetConsoleMode(handle, &mode)) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}

}  // namespace

// wmain, so that file names outside the ANSI code page reach us intact.
int wmain(int argc, wchar_t** argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    const ikw::inspect::Io io{
        [&](std::size_t index) { return ReadAtMostOneFileMore(_wfopen(argv[index + 1], L"rb")); },
        [](const std::string& text) { Write(STD_OUTPUT_HANDLE, stdout, text); },
        [](const std::string& text) { Write(STD_ERROR_HANDLE, stderr, text); },
    };
    return static_cast<int>(ikw::inspect::Run(args, io));
}

#else

void Write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(ikw::inspect::FromUtf8(argv[i]));
    // Files are opened by their bytes as given: a name that is not UTF-8
    // still opens, even though it shows with replacement characters.
    const ikw::inspect::Io io{
        [&](std::size_t index) { return ReadAtMostOneFileMore(std::fopen(argv[index + 1], "rb")); },
        [](const std::string& text) { Write(stdout, text); },
        [](const std::string& text) { Write(stderr, text); },
    };
    return static_cast<int>(ikw::inspect::Run(args, io));
}

#endif
