#pragma once
// The thread's OLE apartment (OleInitialize), left again when the holder goes
// if joining it succeeded.

#include <ole2.h>

namespace ikw {

class OleApartment {
public:
    OleApartment() : m_joined(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleApartment() {
        if (m_joined)
            OleUninitialize();
    }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;

private:
    bool m_joined;
};

}  // namespace ikw
