// The platform's part of ikwdev-inspect: the command line, opening files and
// writing to the console.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "tools/ikwdev-inspect/console_output.h"
#include "tools/ikwdev-inspect/run.h"
#include "tools/ikwdev-inspect/text_format.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "framework/unique_handle.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using ikw::inspect::FileContents;
using ikw::inspect::WriteFailure;
using ikw::inspect::WriteToStream;

FileContents Unreadable(const std::string& why) {
    FileContents contents;
    contents.error = why;
    return contents;
}

FileContents CannotOpen(const std::string& why) { return Unreadable("cannot open: " + why); }

FileContents NotARegularFile(const char* kind) {
    return Unreadable(std::string("not a regular file but ") + kind + "; only regular files are read");
}

// One byte more than the longest valid file is enough to tell it is not one,
// without reading a large file someone passed by mistake.
FileContents ReadAtMostOneByteMore(std::FILE* file) {
    if (file == nullptr)
        return CannotOpen(std::strerror(errno));
    FileContents contents;
    contents.bytes.resize(ikw::kMaxDeviceInfoFileSize + 1);
    contents.bytes.resize(std::fread(contents.bytes.data(), 1, contents.bytes.size(), file));
    if (std::ferror(file))
        contents.error = std::string("cannot read: ") + std::strerror(errno);
    std::fclose(file);
    return contents;
}

#ifdef _WIN32

// What the handle stands for when it is not a regular file, or null.
const char* NonRegularKind(HANDLE file) {
    switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_PIPE:
        return "a pipe";
    case FILE_TYPE_CHAR:
        return "a character device";
    default:
        return "a device";
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "a directory";
    return nullptr;
}

// Opened by handle first, so that the kind of file is known before a byte is
// read: a directory opens only with backup semantics, and reading a pipe
// would wait for its writer.
FileContents ReadRegularFile(const wchar_t* path) {
    fw::KernelHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return CannotOpen(std::strerror(ENOENT));
        return CannotOpen(error == ERROR_ACCESS_DENIED ? std::strerror(EACCES) : "error " + std::to_string(error));
    }
    if (const char* kind = NonRegularKind(file.Get()))
        return NotARegularFile(kind);
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file.Get()), _O_RDONLY | _O_BINARY);
    if (descriptor == -1)
        return CannotOpen(std::strerror(errno));
    // The descriptor closes the handle from here on.
    file.Release();
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (stream == nullptr)
        _close(descriptor);
    return ReadAtMostOneByteMore(stream);
}

}  // namespace

// wmain, so that file names outside the ANSI code page reach us intact.
int wmain(int argc, wchar_t** argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    const ikw::inspect::Io io{
        [&](std::size_t index) { return ReadRegularFile(argv[index + 1]); },
        [](const std::string& text) { return ikw::inspect::WriteToStandardHandle(STD_OUTPUT_HANDLE, stdout, text); },
        [](const std::string& text) { ikw::inspect::WriteToStandardHandle(STD_ERROR_HANDLE, stderr, text); },
    };
    return static_cast<int>(ikw::inspect::Run(args, io));
}

#else

const char* NonRegularKind(mode_t mode) {
    if (S_ISREG(mode))
        return nullptr;
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "a special file";
}

// Opened without blocking and checked before a byte is read: opening a
// FIFO for reading would otherwise wait for a writer forever.
FileContents ReadRegularFile(const char* path) {
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor == -1)
        return CannotOpen(std::strerror(errno));
    struct stat status;
    if (fstat(descriptor, &status) != 0) {
        const int error = errno;
        close(descriptor);
        return Unreadable(std::string("cannot read: ") + std::strerror(error));
    }
    if (const char* kind = NonRegularKind(status.st_mode)) {
        close(descriptor);
        return NotARegularFile(kind);
    }
    std::FILE* stream = fdopen(descriptor, "rb");
    if (stream == nullptr)
        close(descriptor);
    return ReadAtMostOneByteMore(stream);
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that went away is a write error like any other, reported and
    // ending the run with its own status, rather than a silent death by
    // signal, or an exit 0 when whoever started us ignores SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(ikw::inspect::FromUtf8(argv[i]));
    // Files are opened by their bytes as given: a name that is not UTF-8
    // still opens, even though it shows with its odd bytes escaped.
    const ikw::inspect::Io io{
        [&](std::size_t index) { return ReadRegularFile(argv[index + 1]); },
        [](const std::string& text) { return WriteToStream(stdout, text); },
        [](const std::string& text) { WriteToStream(stderr, text); },
    };
    return static_cast<int>(ikw::inspect::Run(args, io));
}

#endif
