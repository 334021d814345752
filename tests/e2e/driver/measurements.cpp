#include "measurements.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <vector>

#include "controls.h"
#include "output.h"
#include "window_search.h"

namespace driver {
namespace {

// FILETIME counts 100 ns steps from 1601; Unix time starts 11644473600 s later.
const unsigned long long kUnixEpochInFileTime = 116444736000000000ULL;

// Wall-clock time in microseconds since 1970, the clock the benchmark reads
// on the Linux side too: Wine takes it from the host's real-time clock.
unsigned long long UnixMicroseconds() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER ticks;
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    return (ticks.QuadPart - kUnixEpochInFileTime) / 10;
}

double ElapsedMicroseconds(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

bool FileExists(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

// NtQuerySystemInformation's list of every open handle, one entry each.
const SYSTEM_INFORMATION_CLASS kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

// The process's handles as the system's handle list counts them: Wine keeps
// that list, while its GetProcessHandleCount answers 0 for other processes.
// -1 when the list cannot be read.
long CountListedHandles(DWORD pid) {
    using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<unsigned char> buffer(1 << 16);
    const NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
    NTSTATUS status;
    for (;;) {
        ULONG needed = 0;
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        // The list grew between the calls, or the first guess was short.
        if (status != kLengthMismatch)
            break;
        buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
    }
    if (status < 0)
        return -1;
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    long count = 0;
    for (ULONG i = 0; i < list->count; ++i) {
        if (list->entries[i].ownerPid == pid)
            ++count;
    }
    return count;
}

// Under Wine GetGuiResources counts nothing; the process's windows, hidden
// ones and children included, are the part of its USER objects that can be
// counted from outside.
int CountWindows(DWORD pid) {
    struct Count {
        DWORD pid;
        int windows;
    } count{pid, 0};
    EnumWindows(
        [](HWND window, LPARAM param) {
            auto* count = reinterpret_cast<Count*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != count->pid)
                return TRUE;
            ++count->windows;
            EnumChildWindows(
                window,
                [](HWND, LPARAM param) {
                    ++reinterpret_cast<Count*>(param)->windows;
                    return TRUE;
                },
                param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

}  // namespace

// Prints "ready" once it is looking, so that the program to be timed is
// started only then; then the window and the wall-clock time at which it was
// first seen visible. The time is as good as the poll interval.
int FirstVisible(const Args& args) {
    WindowQuery query;
    query.className = Arg(args, 0);
    query.controlId = ParseNumber(Arg(args, 1));
    const DWORD timeout = ParseNumber(Arg(args, 2));
    const DWORD poll = args.size() > 3 ? ParseNumber(args[3]) : 2;
    Print(L"ready");
    const DWORD start = GetTickCount();
    for (;;) {
        // A zero timeout makes it one look over the windows.
        if (HWND found = WaitForWindow(query, 0)) {
            const unsigned long long seen = UnixMicroseconds();
            Print(HandleText(found) + L"\t" + std::to_wstring(seen));
            return 0;
        }
        if (GetTickCount() - start >= timeout)
            return 1;
        Sleep(poll);
    }
}

// The file appears whole at once: the program writes a temporary file and
// renames it. So the first sight of the path is the end of the save.
int PressUntilFile(const Args& args) {
    const HWND dialog = ParseHandle(Arg(args, 0));
    const int button = ParseNumber(Arg(args, 1));
    const std::wstring& path = Arg(args, 2);
    const DWORD timeout = ParseNumber(Arg(args, 3));
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PressButton(dialog, button);
    while (!FileExists(path)) {
        if (ElapsedMicroseconds(start) >= timeout * 1000.0)
            return 1;
        Sleep(1);
    }
    Print(std::to_wstring(static_cast<unsigned long long>(ElapsedMicroseconds(start))));
    return 0;
}

// One "name=value" line each. Under Wine some of these are not kept and read
// as 0; the caller reports them as they come.
int ProcessResources(const Args& args) {
    DWORD pid = 0;
    GetWindowThreadProcessId(ParseHandle(Arg(args, 0)), &pid);
    if (pid == 0)
        return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process)
        return 1;
    DWORD handles = 0;
    const BOOL gotHandles = GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    const BOOL gotMemory =
        K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
    Print(L"pid=" + std::to_wstring(pid));
    Print(L"handles=" + (gotHandles ? std::to_wstring(handles) : std::wstring(L"unavailable")));
    Print(L"gdi=" + std::to_wstring(GetGuiResources(process, GR_GDIOBJECTS)));
    Print(L"user=" + std::to_wstring(GetGuiResources(process, GR_USEROBJECTS)));
    Print(L"windows=" + std::to_wstring(CountWindows(pid)));
    if (gotMemory) {
        Print(L"private=" + std::to_wstring(memory.PrivateUsage));
        Print(L"working_set=" + std::to_wstring(memory.WorkingSetSize));
    } else {
        Print(L"private=unavailable");
        Print(L"working_set=unavailable");
    }
    const long listed = CountListedHandles(pid);
    Print(L"listed_handles=" + (listed >= 0 ? std::to_wstring(listed) : std::wstring(L"unavailable")));
    CloseHandle(process);
    return 0;
}

}  // namespace driver
