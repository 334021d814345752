#pragma once
// Reading a file that must be a regular file, and only its first bytes: a
// pipe or a character device would wait for a writer that may never come,
// and a file far longer than any valid one is not worth reading whole.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fw {

struct RegularFileRead {
    enum class Outcome { Read, CannotOpen, NotRegular, CannotRead };
    Outcome outcome = Outcome::Read;
    std::vector<std::uint8_t> bytes;  // Read: the file's first bytes, at most maxBytes of them
    DWORD error = ERROR_SUCCESS;      // CannotOpen, CannotRead: GetLastError()'s answer
    const char* kind = nullptr;       // NotRegular: what the path names instead, "a pipe", "a directory"...
};

// share: what others may do with the file while it is read (CreateFileW's
// share mode).
RegularFileRead ReadRegularFile(const std::wstring& path, std::size_t maxBytes, DWORD share);

}  // namespace fw
