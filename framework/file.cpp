#include "framework/file.h"

#include <algorithm>

namespace fw {

File::~File() {
    if (m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
}

bool File::OpenForWriting(const std::wstring& path, DWORD creation) {
    m_handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_lastError = m_handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    return m_handle != INVALID_HANDLE_VALUE;
}

void File::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(m_handle, bytes, chunk, &written, nullptr))
            throw FileException();
        if (written == 0)
            throw FileException();
        bytes += written;
        size -= written;
    }
}

void File::Close() {
    const HANDLE handle = m_handle;
    m_handle = INVALID_HANDLE_VALUE;
    const bool flushed = FlushFileBuffers(handle);
    if (!CloseHandle(handle))
        throw FileException();
    if (!flushed)
        throw FileException();
}

}  // namespace fw
