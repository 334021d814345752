#pragma once
// A movable memory block (GlobalAlloc) with one owner, freed when it goes.

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

}  // namespace ikw
