#pragma once
// Movable memory blocks (GlobalAlloc): a block with one owner, freed when it
// goes, and a lock on a block, undone when it goes.

#include <windows.h>

#include "framework/unique_handle.h"

namespace ikw {

using GlobalBlock = fw::UniqueHandle<HGLOBAL, GlobalFree>;

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
