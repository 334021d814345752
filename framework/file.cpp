#include "framework/file.h"

#include <algorithm>

namespace fw {

bool File::OpenForWriting(const std::wstring& path, DWORD creation) {
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    m_lastError = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    m_handle = KernelHandle(handle);
    return static_cast<bool>(m_handle);
}

void File::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(m_handle.Get(), bytes, chunk, &written, nullptr))
            throw FileException();
        if (written == 0)
            throw FileException();
        bytes += written;
        size -= written;
    }
}

void File::Close() {
    const HANDLE handle = m_handle.Release();
    const bool flushed = FlushFileBuffers(handle);
    if (!CloseHandle(handle))
        throw FileException();
    if (!flushed)
        throw FileException();
}

}  // namespace fw
