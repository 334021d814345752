#pragma once
// Movable memory blocks (GlobalAlloc): a block with one owner, freed when it
// goes, and a lock on a block, undone when it goes.

#include <windows.h>

#include <utility>

namespace ikw {

class GlobalBlock {
public:
    GlobalBlock() = default;
    explicit GlobalBlock(HGLOBAL handle) : m_handle(handle) {}
    ~GlobalBlock() {
        if (m_handle)
            GlobalFree(m_handle);
    }
    GlobalBlock(GlobalBlock&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    GlobalBlock& operator=(GlobalBlock&& other) noexcept {
        std::swap(m_handle, other.m_handle);
        return *this;
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    HGLOBAL Get() const { return m_handle; }
    // Gives the block to a new owner, such as a print dialog's parameter block.
    HGLOBAL Release() { return std::exchange(m_handle, nullptr); }

private:
    HGLOBAL m_handle = nullptr;
};

// GlobalLock for as long as the holder lives; Bytes() is null when the block
// is null or could not be locked.
class GlobalLockHolder {
public:
    explicit GlobalLockHolder(HGLOBAL handle) : m_handle(handle), m_bytes(handle ? GlobalLock(handle) : nullptr) {}
    ~GlobalLockHolder() {
        if (m_bytes)
            GlobalUnlock(m_handle);
    }
    GlobalLockHolder(const GlobalLockHolder&) = delete;
    GlobalLockHolder& operator=(const GlobalLockHolder&) = delete;

    void* Bytes() const { return m_bytes; }

private:
    HGLOBAL m_handle;
    void* m_bytes;
};

}  // namespace ikw
