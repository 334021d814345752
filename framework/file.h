#pragma once
// A file on disk. Opening reports failure by its result, because the caller
// has its own message for a path that cannot be opened; writing and closing
// raise FileException, so a half-written file cannot pass unnoticed.

#include <windows.h>

#include <cstddef>
#include <stdexcept>
#include <string>

#include "framework/unique_handle.h"

namespace fw {

class FileException : public std::runtime_error {
public:
    FileException() : std::runtime_error("file operation failed") {}
};

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // creation: a CreateFileW disposition (CREATE_NEW, CREATE_ALWAYS, ...).
    // Opens for writing with no sharing. False on failure (see LastError).
    bool OpenForWriting(const std::wstring& path, DWORD creation);
    DWORD LastError() const { return m_lastError; }

    void Write(const void* data, std::size_t size);
    // Flushes to the disk, then closes.
    void Close();

private:
    KernelHandle m_handle;  // closed without reporting when the file goes: Close reports failures
    DWORD m_lastError = 0;
};

}  // namespace fw
