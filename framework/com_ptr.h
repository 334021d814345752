#pragma once
// Holds one reference to a component object and releases it on every path.

#include <unknwn.h>

namespace fw {

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return m_object; }
    Interface* Get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // For functions that hand out a new reference: releases the old one first.
    Interface** Put() {
        Reset();
        return &m_object;
    }
    void Reset() {
        if (m_object)
            m_object->Release();
        m_object = nullptr;
    }

private:
    Interface* m_object = nullptr;
};

}  // namespace fw
