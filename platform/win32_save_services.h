#pragma once
// The save operation's view of the platform, carried out with the Win32 API.

#include <windows.h>
#include <commdlg.h>

#include "devinfo/save_device_settings.h"

namespace ikw {

// The device records in a print dialog's parameter block.
class Win32DialogRecords : public DialogRecords {
public:
    explicit Win32DialogRecords(const PRINTDLGW& parameterBlock) : m_block(parameterBlock) {}
    std::optional<LockedRecord> Lock(DialogRecord record) override;
    void Unlock(DialogRecord record) override;

private:
    HGLOBAL HandleOf(DialogRecord record) const;
    const PRINTDLGW& m_block;
};

class Win32StringTable : public StringTable {
public:
    std::u16string Load(unsigned id) override;
};

class Win32SaveFileDialog : public SaveFileDialog {
public:
    std::optional<std::u16string> AskForSavePath(const SaveFileRequest& request) override;
};

class Win32FileSystem : public FileSystem {
public:
    NewFile CreateNewFile(const std::u16string& path) override;
    bool MoveReplacingExisting(const std::u16string& source, const std::u16string& target) override;
    void RemoveFile(const std::u16string& path) override;
};

// Boxes owned by one window, titled with the program's name.
class Win32MessageBoxes : public MessageBoxes {
public:
    explicit Win32MessageBoxes(HWND owner) : m_owner(owner) {}
    void ShowMessage(const std::u16string& text, MessageIcon icon) override;

private:
    HWND m_owner;
};

}  // namespace ikw
