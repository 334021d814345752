#pragma once
// The save operation's view of the platform, carried out with the Win32 API.

#include <windows.h>
#include <commdlg.h>

#include "devinfo/save_platform.h"

namespace ikw {

// The device records as movable memory blocks (either may be null).
class Win32DialogRecords : public DialogRecords {
public:
    Win32DialogRecords(HGLOBAL devMode, HGLOBAL devNames) : m_devMode(devMode), m_devNames(devNames) {}
    std::optional<LockedRecord> Lock(DialogRecord record) override;
    void Unlock(DialogRecord record) override;

private:
    HGLOBAL HandleOf(DialogRecord record) const;
    HGLOBAL m_devMode;
    HGLOBAL m_devNames;
};

class Win32FileSystem : public FileSystem {
public:
    NewFile CreateNewFile(const std::u16string& path) override;
    PathHolds WhatIsAt(const std::u16string& path) override;
    std::u16string FileToReplace(const std::u16string& path) override;
    PlaceOutcome PutInPlace(const std::u16string& source, const std::u16string& target) override;
    void RemoveFile(const std::u16string& path) override;
};

}  // namespace ikw
