#pragma once
// The application life cycle: one global application object, constructed
// before the program starts; its InitInstance runs the whole program and,
// by returning false, ends it with the exit code it left in m_exitCode (0
// unless it says otherwise).

#include <windows.h>

#include <string>

#include "framework/window.h"

namespace fw {

// The framework's Help command: the Help button of a dialog arrives as it.
// The number is the one dialog frameworks have long given Help, so help files
// and hooks written for them keep working.
constexpr UINT kHelpCommand = 0xE146;
// Help files number a dialog's topics from this base.
constexpr DWORD kDialogHelpContextBase = 0x20000;

// A box the framework shows by itself: its text's id in the string table,
// and the text to show when the table holds none. The framework knows no
// resources of its own, so the application names both.
struct FrameworkText {
    UINT id;
    const wchar_t* fallback;
};

struct FrameworkTexts {
    FrameworkText outOfMemory;
    FrameworkText unexpectedError;
    FrameworkText helpViewerFailed;
};

class Application {
public:
    explicit Application(const FrameworkTexts& texts);
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& Current();

    // Returns true when a message loop is to follow.
    virtual bool InitInstance() = 0;
    // Handles an application command; false when the application has no
    // handler for it.
    virtual bool OnCommand(UINT commandId);

    // The executable's file name without extension: titles message boxes.
    const std::wstring& ProgramName() const { return m_programName; }
    // The executable's full path.
    const std::wstring& ExecutablePath() const { return m_executablePath; }

    // The window that owns the application's dialogs; cleared when it goes.
    Window* m_pMainWnd = nullptr;
    // The process's exit code when InitInstance returns false.
    int m_exitCode = 0;

    // Called by the program's entry point.
    int Run();

    // The framework's texts, loaded when the program starts: a box about
    // exhausted memory must not need memory to be shown.
    const wchar_t* OutOfMemoryText() const { return m_outOfMemoryText; }
    const wchar_t* UnexpectedErrorText() const { return m_unexpectedErrorText; }

protected:
    // Shows the help topic of the main window in the WinHelp viewer.
    virtual void OnHelp();
    // The box that says no help viewer could be started.
    void ReportHelpViewerFailure();

private:
    static constexpr int kTextUnits = 512;

    FrameworkTexts m_texts;
    wchar_t m_outOfMemoryText[kTextUnits] = {};
    wchar_t m_unexpectedErrorText[kTextUnits] = {};
    wchar_t m_helpViewerFailedText[kTextUnits] = {};
    std::wstring m_executablePath;
    std::wstring m_programName;
    std::wstring m_helpFilePath;
};

}  // namespace fw
