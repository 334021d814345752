// ikwdev-test-driver: operates IKWDev's windows for the end-to-end tests.
// Each subcommand does one thing, prints its findings on standard output
// and exits 0, or exits 1 when what it waited for or looked for is not
// there (2 for a wrong command line, 3 when the system refused a window
// message or a window search). `--desktop NAME` before the subcommand
// works on a Wine virtual desktop instead of the default one.
//
// Before anything else it writes the line "ikwdev-test-driver: started" to
// standard error. Wine now and then fails to start a process at all; a
// caller that misses the line knows the command never ran, and may run it
// again without anything having happened twice. When the line cannot be
// written the driver does nothing and exits 4.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "controls.h"
#include "measurements.h"
#include "output.h"
#include "printers.h"
#include "saving.h"
#include "window_search.h"

namespace driver {
namespace {

const DWORD kDefaultTimeoutMs = 10000;

int Report(HWND found) {
    if (!found)
        return 1;
    Print(HandleText(found));
    return 0;
}

// wait-window [--class NAME] [--owner HWND|none] [--control ID]
//             [--no-control ID] [--timeout MS]
int WaitWindow(const Args& args) {
    WindowQuery query;
    DWORD timeout = kDefaultTimeoutMs;
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::wstring& value = Arg(args, i + 1);
        if (args[i] == L"--class") {
            query.className = value;
        } else if (args[i] == L"--owner") {
            query.byOwner = true;
            query.owner = value == L"none" ? nullptr : ParseHandle(value);
        } else if (args[i] == L"--control") {
            query.controlId = ParseNumber(value);
        } else if (args[i] == L"--no-control") {
            query.absentControlId = ParseNumber(value);
        } else if (args[i] == L"--timeout") {
            timeout = ParseNumber(value);
        } else {
            throw UsageError{L"unknown option " + args[i]};
        }
    }
    return Report(WaitForWindow(query, timeout));
}

// wait-gone HWND [TIMEOUT_MS]
int WaitGone(const Args& args) {
    DWORD timeout = args.size() > 1 ? ParseNumber(args[1]) : kDefaultTimeoutMs;
    return WaitUntilGone(ParseHandle(Arg(args, 0)), timeout) ? 0 : 1;
}

int Windows(const Args&) {
    ListWindows();
    return 0;
}

int Children(const Args& args) {
    ListChildren(ParseHandle(Arg(args, 0)));
    return 0;
}

// text HWND [ID]: the window's own text, or its child's.
int Text(const Args& args) {
    HWND window = ParseHandle(Arg(args, 0));
    if (args.size() > 1)
        window = GetDlgItem(window, ParseNumber(args[1]));
    if (!window)
        return 1;
    Print(WindowText(window));
    return 0;
}

// combo HWND ID: the selected index, then one entry per line.
int Combo(const Args& args) {
    ComboState state = ReadCombo(ParseHandle(Arg(args, 0)), ParseNumber(Arg(args, 1)));
    Print(std::to_wstring(state.selected));
    for (const std::wstring& entry : state.entries)
        Print(entry);
    return 0;
}

int Select(const Args& args) {
    return SelectComboEntry(ParseHandle(Arg(args, 0)), ParseNumber(Arg(args, 1)), Arg(args, 2)) ? 0 : 1;
}

int Click(const Args& args) {
    ClickButton(ParseHandle(Arg(args, 0)), ParseNumber(Arg(args, 1)));
    return 0;
}

int Checked(const Args& args) {
    Print(IsChecked(ParseHandle(Arg(args, 0)), ParseNumber(Arg(args, 1))) ? L"1" : L"0");
    return 0;
}

int Press(const Args& args) {
    PressButton(ParseHandle(Arg(args, 0)), ParseNumber(Arg(args, 1)));
    return 0;
}

// rect HWND: the window's left, top, right and bottom in screen pixels.
int Rect(const Args& args) {
    RECT rect = {};
    if (!GetWindowRect(ParseHandle(Arg(args, 0)), &rect))
        return 1;
    Print(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) + L" " +
          std::to_wstring(rect.bottom));
    return 0;
}

// close HWND: asks the window to close, as its title bar's close box does.
int Close(const Args& args) {
    HWND window = ParseHandle(Arg(args, 0));
    if (!PostMessageW(window, WM_CLOSE, 0, 0)) {
        FailWithLastError(L"WM_CLOSE not posted to window " + HandleText(window));
    }
    return 0;
}

int Default(const Args&) {
    Print(DefaultPrinter());
    return 0;
}

int StoredDefault(const Args&) {
    Print(StoredDefaultPrinter());
    return 0;
}

// add-printer NAME LIKE [--default]: a printer of Wine's own named NAME,
// with the driver and port of the printer LIKE; CUPS never hears of it.
// --default makes it the default printer too, in the same process: the
// spooler of the next process re-reads CUPS first.
int AddPrinter(const Args& args) {
    if (!AddPrinterLike(Arg(args, 0), Arg(args, 1)))
        FailWithLastError(L"AddPrinterW " + args[0]);
    if (args.size() > 2 && args[2] != L"--default")
        throw UsageError{L"unknown option " + args[2]};
    if (args.size() > 2 && !MakeDefaultPrinter(args[0]))
        FailWithLastError(L"SetDefaultPrinterW " + args[0]);
    return 0;
}

// remove-printer NAME: a printer add-printer added, with its driver.
int RemovePrinter(const Args& args) {
    if (!RemovePrinterAdded(Arg(args, 0)))
        FailWithLastError(L"removing printer " + args[0]);
    return 0;
}

// devmode PRINTER: the driver's default settings record as hex.
int DevMode(const Args& args) {
    std::vector<unsigned char> record = DefaultDeviceSettings(Arg(args, 0));
    if (record.empty())
        return 1;
    Print(HexBytes(record.data(), record.size()));
    return 0;
}

// Keeps the prefix's Wine session up between the tests' short Wine processes,
// which then start in a fraction of the time; ended by wineserver -k.
int Idle(const Args&) {
    Sleep(INFINITE);
    return 0;
}

// hold-pipe NAME: serves the named pipe \\.\pipe\NAME and never writes to
// it, so a client that reads from it waits for ever; prints "ready" once the
// pipe exists. Ended by whoever started it.
int HoldPipe(const Args& args) {
    const std::wstring name = L"\\\\.\\pipe\\" + Arg(args, 0);
    const HANDLE pipe =
        CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        FailWithLastError(L"pipe " + name + L" not created");
    Print(L"ready");
    ConnectNamedPipe(pipe, nullptr);
    Sleep(INFINITE);
    return 0;
}

// hold-file PATH: opens the file for reading and writing and shares it with
// no one, as a program that keeps a document open does; prints "ready" once
// it is open. Ended by whoever started it.
int HoldFile(const Args& args) {
    const std::wstring path = Arg(args, 0);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        FailWithLastError(L"file " + path + L" not opened");
    Print(L"ready");
    Sleep(INFINITE);
    return 0;
}

const std::map<std::wstring, int (*)(const Args&)> kCommands = {
    {L"wait-window", WaitWindow},
    {L"wait-gone", WaitGone},
    {L"windows", Windows},
    {L"children", Children},
    {L"text", Text},
    {L"combo", Combo},
    {L"select", Select},
    {L"click", Click},
    {L"checked", Checked},
    {L"press", Press},
    {L"close", Close},
    {L"rect", Rect},
    {L"default-printer", Default},
    {L"stored-default-printer", StoredDefault},
    {L"add-printer", AddPrinter},
    {L"remove-printer", RemovePrinter},
    {L"devmode", DevMode},
    {L"set-text", SetText},
    {L"settle", Settle},
    {L"paper-and-bins", PaperAndBins},
    {L"idle", Idle},
    {L"hold-pipe", HoldPipe},
    {L"hold-file", HoldFile},
    {L"first-visible", FirstVisible},
    {L"press-until-file", PressUntilFile},
    {L"process-resources", ProcessResources},
};

int Run(Args words) {
    if (words.size() > 1 && words[0] == L"--desktop") {
        if (!UseDesktop(words[1], kDefaultTimeoutMs)) {
            PrintError(L"ikwdev-test-driver: no desktop " + words[1]);
            return 1;
        }
        words.erase(words.begin(), words.begin() + 2);
    }
    if (words.empty())
        throw UsageError{L"no command"};
    auto command = kCommands.find(words[0]);
    if (command == kCommands.end())
        throw UsageError{L"unknown command " + words[0]};
    return command->second(Args(words.begin() + 1, words.end()));
}

}  // namespace
}  // namespace driver

int wmain(int argc, wchar_t** argv) {
    // A caller that misses the line takes the command for one Wine never
    // ran, and runs it again: so nothing is done unless the line is out.
    if (!driver::PrintError(L"ikwdev-test-driver: started"))
        return 4;
    try {
        return driver::Run(driver::Args(argv + 1, argv + argc));
    } catch (const driver::UsageError& error) {
        driver::PrintError(L"ikwdev-test-driver: " + error.message);
        return 2;
    } catch (const driver::OperationError& error) {
        driver::PrintError(L"ikwdev-test-driver: " + error.message);
        return 3;
    }
}
