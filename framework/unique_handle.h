#pragma once
// One owner for a handle or a block the platform hands out, freed on every path
// out by the call that frees it: CloseHandle, LocalFree, CoTaskMemFree,
// GlobalFree. Release() hands it to another owner, such as a print dialog's
// parameter block or a C run-time file descriptor.

#include <windows.h>

#include <utility>

namespace fw {

template <typename T, auto Free>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T handle) : m_handle(handle) {}
    ~UniqueHandle() {
        if (*this)
            Free(m_handle);
    }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    // CreateFileW says it opened nothing with INVALID_HANDLE_VALUE, the other
    // calls with null: neither is freed.
    explicit operator bool() const {
        return m_handle != T{} && static_cast<const void*>(m_handle) != INVALID_HANDLE_VALUE;
    }
    T Get() const { return m_handle; }
    T Release() { return std::exchange(m_handle, T{}); }

private:
    T m_handle{};
};

// A kernel object's handle: a file's, above all.
using KernelHandle = UniqueHandle<HANDLE, CloseHandle>;

}  // namespace fw
