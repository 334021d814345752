#include "tools/console/arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/console/text.h"

#ifdef _WIN32
#include "framework/regular_file.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ikw::console {

namespace {

FileContents Unreadable(const std::string& why) {
    FileContents contents;
    contents.error = why;
    return contents;
}

FileContents CannotOpen(const std::string& why) { return Unreadable("cannot open: " + why); }

FileContents NotARegularFile(const char* kind) {
    return Unreadable(std::string("not a regular file but ") + kind + "; only regular files are read");
}

#ifndef _WIN32

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

FileContents ReadAtMost(std::FILE* file, std::size_t maxBytes) {
    if (file == nullptr)
        return CannotOpen(std::strerror(errno));
    FileContents contents;
    contents.bytes.resize(maxBytes);
    contents.bytes.resize(std::fread(contents.bytes.data(), 1, contents.bytes.size(), file));
    if (std::ferror(file))
        contents.error = std::string("cannot read: ") + std::strerror(errno);
    std::fclose(file);
    return contents;
}

#endif

}  // namespace

#ifdef _WIN32

std::vector<std::u16string> ArgumentsOf(int argc, const wchar_t* const* argv) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide strings are UTF-16");
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    return args;
}

FileContents ReadRegularFile(const wchar_t* path, std::size_t maxBytes) {
    fw::RegularFileRead read =
        fw::ReadRegularFile(path, maxBytes, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    switch (read.outcome) {
    case fw::RegularFileRead::Outcome::Read:
        return {std::move(read.bytes), std::nullopt};
    case fw::RegularFileRead::Outcome::NotRegular:
        return NotARegularFile(read.kind);
    case fw::RegularFileRead::Outcome::CannotRead:
        return Unreadable("cannot read: error " + std::to_string(read.error));
    case fw::RegularFileRead::Outcome::CannotOpen:
        break;
    }
    // The host's words for the common causes, so that both builds say them alike.
    if (read.error == ERROR_FILE_NOT_FOUND || read.error == ERROR_PATH_NOT_FOUND)
        return CannotOpen(std::strerror(ENOENT));
    return CannotOpen(read.error == ERROR_ACCESS_DENIED ? std::strerror(EACCES)
                                                        : "error " + std::to_string(read.error));
}

#else

std::vector<std::u16string> ArgumentsOf(int argc, const char* const* argv) {
    std::vector<std::u16string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(FromUtf8(argv[i]));
    return args;
}

// Opened without blocking and checked before a byte is read: opening a
// FIFO for reading would otherwise wait for a writer forever.
FileContents ReadRegularFile(const char* path, std::size_t maxBytes) {
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
    return ReadAtMost(stream, maxBytes);
}

#endif

}  // namespace ikw::console
