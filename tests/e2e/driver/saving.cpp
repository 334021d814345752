#include "saving.h"

#include <windows.h>
#include <winspool.h>

#include <cwchar>
#include <vector>

#include "output.h"

namespace driver {
namespace {

const UINT kDefaultSettleMs = 30000;

// Loaded on demand, as the other spooler commands do: linking the spooler in
// would load it in every command, and loading it rewrites the stored default
// printer that stored-default-printer reports.
int Capabilities(const std::wstring& printer, WORD capability, void* output) {
    static const auto query = reinterpret_cast<decltype(&DeviceCapabilitiesW)>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"winspool.drv"), "DeviceCapabilitiesW")));
    return query(printer.c_str(), nullptr, capability, static_cast<LPWSTR>(output), nullptr);
}

// Each name has a fixed width in DeviceCapabilitiesW's output and no
// terminator when it fills it.
std::vector<std::wstring> Names(const std::wstring& printer, WORD capability, size_t width, int count) {
    std::vector<wchar_t> text(count * width);
    Capabilities(printer, capability, text.data());
    std::vector<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        const wchar_t* name = text.data() + i * width;
        names.emplace_back(name, wcsnlen(name, width));
    }
    return names;
}

bool PrintPapers(const std::wstring& printer) {
    const int count = Capabilities(printer, DC_PAPERS, nullptr);
    if (count <= 0 || Capabilities(printer, DC_PAPERNAMES, nullptr) != count ||
        Capabilities(printer, DC_PAPERSIZE, nullptr) != count) {
        return false;
    }
    std::vector<WORD> numbers(count);
    std::vector<POINT> sizes(count);
    Capabilities(printer, DC_PAPERS, numbers.data());
    Capabilities(printer, DC_PAPERSIZE, sizes.data());
    const std::vector<std::wstring> names = Names(printer, DC_PAPERNAMES, 64, count);
    for (int i = 0; i < count; ++i) {
        Print(L"paper\t" + std::to_wstring(numbers[i]) + L"\t" + std::to_wstring(sizes[i].x) + L"\t" +
              std::to_wstring(sizes[i].y) + L"\t" + names[i]);
    }
    return true;
}

bool PrintBins(const std::wstring& printer) {
    const int count = Capabilities(printer, DC_BINS, nullptr);
    if (count <= 0 || Capabilities(printer, DC_BINNAMES, nullptr) != count)
        return false;
    std::vector<WORD> numbers(count);
    Capabilities(printer, DC_BINS, numbers.data());
    const std::vector<std::wstring> names = Names(printer, DC_BINNAMES, 24, count);
    for (int i = 0; i < count; ++i) {
        Print(L"bin\t" + std::to_wstring(numbers[i]) + L"\t" + names[i]);
    }
    return true;
}

}  // namespace

int PaperAndBins(const Args& args) {
    const std::wstring& printer = Arg(args, 0);
    const bool papers = PrintPapers(printer);
    const bool bins = PrintBins(printer);
    return papers && bins ? 0 : 1;
}

// WM_SETTEXT is carried across processes with its string, unlike most
// messages that point at memory.
int SetText(const Args& args) {
    HWND control = GetDlgItem(ParseHandle(Arg(args, 0)), ParseNumber(Arg(args, 1)));
    if (!control)
        return 1;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Arg(args, 2).c_str()), SMTO_NORMAL,
                             kDefaultSettleMs, &result)) {
        return 1;
    }
    return result ? 0 : 1;
}

// A sent message is taken only when the receiving thread looks at its
// queue: after a button's handler has returned, or from inside a modal box
// the handler opened.
int Settle(const Args& args) {
    const UINT timeout = args.size() > 1 ? ParseNumber(args[1]) : kDefaultSettleMs;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(ParseHandle(Arg(args, 0)), WM_NULL, 0, 0, SMTO_NORMAL, timeout, &result) ? 0 : 1;
}

}  // namespace driver
