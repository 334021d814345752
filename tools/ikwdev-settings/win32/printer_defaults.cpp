#include "tools/ikwdev-settings/win32/printer_defaults.h"

#include <windows.h>
#include <winspool.h>

#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "devinfo/device_records.h"
#include "framework/unique_handle.h"
#include "platform/printer_handle.h"
#include "platform/win32_device_settings_merge.h"
#include "platform/wide_string.h"

namespace ikw::settings {

// Windows keeps this user's defaults (level 9) in the user's profile, and
// every user's (level 8) with the printer, which only a handle with the
// right to manage the printer may change. Under Wine both levels write the
// printer's one "Default DevMode" value, shared by every user of the prefix,
// and no right is checked.
SetOutcome Win32PrinterDefaults::SetDefaults(const std::u16string& printer, const std::vector<std::uint8_t>& record,
                                             DefaultsScope scope) {
    const bool allUsers = scope == DefaultsScope::AllUsers;
    PrinterHandle handle(printer, allUsers ? PRINTER_ALL_ACCESS : PRINTER_ACCESS_USE);
    if (!handle)
        return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
    // The spooler reads dmSize + dmDriverExtra bytes: the record is whole.
    std::vector<std::uint8_t> copy(record);
    auto* devMode = reinterpret_cast<DEVMODEW*>(copy.data());
    BOOL set = FALSE;
    if (allUsers) {
        PRINTER_INFO_8W info{devMode};
        set = SetPrinterW(handle.Get(), 8, reinterpret_cast<BYTE*>(&info), 0);
    } else {
        PRINTER_INFO_9W info{devMode};
        set = SetPrinterW(handle.Get(), 9, reinterpret_cast<BYTE*>(&info), 0);
    }
    if (set)
        return SetOutcome::Set;
    return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
}

namespace {

DWORD LevelOf(DefaultsScope scope) { return scope == DefaultsScope::AllUsers ? 8 : 9; }

// PRINTER_INFO_8W and _9W are both one DEVMODEW pointer into the buffer.
static_assert(sizeof(PRINTER_INFO_8W) == sizeof(PRINTER_INFO_9W));

// The read-back's answer is at most a record's worth of hex and a line end.
constexpr std::size_t kMaxAnswer = 2 * (0xFFFF + 0xFFFF) + 2;
constexpr DWORD kReadBackTimeoutMs = 600000;
// Once the read-back process has ended, its pipe is broken and the reading
// ends at once.
constexpr DWORD kReadingEndsMs = 10000;

template <typename Unit>
std::string Hex(const Unit* units, std::size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i)
        for (int shift = 8 * static_cast<int>(sizeof(Unit)) - 4; shift >= 0; shift -= 4)
            hex += kDigits[(static_cast<unsigned>(units[i]) >> shift) & 0xF];
    return hex;
}

// Units of digitsPerUnit hex digits; nullopt when the text is anything else.
std::optional<std::vector<unsigned>> FromHex(std::string_view hex, std::size_t digitsPerUnit) {
    if (hex.size() % digitsPerUnit != 0)
        return std::nullopt;
    std::vector<unsigned> units(hex.size() / digitsPerUnit, 0);
    for (std::size_t i = 0; i < hex.size(); ++i) {
        const char c = hex[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return std::nullopt;
        units[i / digitsPerUnit] = units[i / digitsPerUnit] * 16 + static_cast<unsigned>(digit);
    }
    return units;
}

// The answer of the read-back process: its line, up to the line end. The
// pipe is not read to its end, which a helper process Wine starts may hold
// open after ours has ended.
std::optional<std::string> ReadAnswer(HANDLE pipe) {
    std::string answer;
    char chunk[4096];
    DWORD got = 0;
    while (answer.find('\n') == std::string::npos && answer.size() <= kMaxAnswer &&
           ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0)
        answer.append(chunk, got);
    const std::size_t end = answer.find('\n');
    if (end == std::string::npos)
        return std::nullopt;
    answer.resize(end);
    return answer;
}

// What the reading thread reads, and the pipe it reads from. Shared with
// the thread, which may outlive the wait for it.
struct PendingAnswer {
    fw::KernelHandle pipe;
    std::optional<std::string> answer;
};

DWORD WINAPI ReadAnswerInto(void* shared) {
    const std::unique_ptr<std::shared_ptr<PendingAnswer>> pending(static_cast<std::shared_ptr<PendingAnswer>*>(shared));
    (*pending)->answer = ReadAnswer((*pending)->pipe.Get());
    return 0;
}

// Reads the answer of a read-back process that holds the pipe's only write
// end. A driver that hangs in that process must not hang the tool: the
// reading is a thread of its own, with its own handle of the pipe, and a
// process still running after its time is ended, which breaks the pipe and
// so ends the reading too. Should even that not end it, the thread is left
// to the tool's exit. The answer is taken only from a process that ended by
// itself, with 0. The time is long: a new process under Wine, let alone
// under emulation, can take minutes to start.
std::optional<std::string> AnswerOf(HANDLE process, HANDLE pipe) {
    auto pending = std::make_shared<PendingAnswer>();
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), pipe, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        TerminateProcess(process, 1);
        return std::nullopt;
    }
    pending->pipe = fw::KernelHandle(own);
    auto* shared = new std::shared_ptr<PendingAnswer>(pending);
    const fw::KernelHandle reading(CreateThread(nullptr, 0, ReadAnswerInto, shared, 0, nullptr));
    if (!reading) {
        delete shared;
        TerminateProcess(process, 1);
        return std::nullopt;
    }
    const bool ended = WaitForSingleObject(process, kReadBackTimeoutMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 1);
    DWORD exitCode = 1;
    if (WaitForSingleObject(reading.Get(), kReadingEndsMs) != WAIT_OBJECT_0 || !ended ||
        !GetExitCodeProcess(process, &exitCode) || exitCode != 0)
        return std::nullopt;
    return std::move(pending->answer);
}

}  // namespace

int WriteDefaultsAsANewProgramReadsThem(const wchar_t* printerHex, const wchar_t* scopeName) {
    const std::wstring wideHex(printerHex);
    const std::optional<std::vector<unsigned>> units = FromHex(std::string(wideHex.begin(), wideHex.end()), 4);
    if (!units || units->empty())
        return 1;
    const std::u16string printer(units->begin(), units->end());
    const DefaultsScope scope = std::wcscmp(scopeName, L"8") == 0 ? DefaultsScope::AllUsers : DefaultsScope::ThisUser;
    // The driver's first use in this process, as in any program that prints.
    DriverOwnRecord(printer);
    const StoredDefaults stored = Win32PrinterDefaults().ReadDefaults(printer, scope);
    if (!stored.readable)
        return 1;
    const std::string line = (stored.record ? Hex(stored.record->data(), stored.record->size()) : "-") + "\n";
    DWORD written = 0;
    return WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
                     nullptr) &&
                   written == line.size()
               ? 0
               : 1;
}

// Wine's PostScript driver puts the PPD's page size and duplex over the
// stored defaults when a process first uses the printer, which this process
// did before it set them: only a new process reads what the next program
// will start from. On Windows it reads the same as ReadDefaults.
StoredDefaults Win32PrinterDefaults::ReadBack(const std::u16string& printer, DefaultsScope scope) {
    std::wstring self(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length == 0 || length >= self.size())
        return {};
    self.resize(length);
    const std::string printerHex = Hex(printer.data(), printer.size());
    std::wstring command = L"\"" + self + L"\" " + kReadBackCommand + L" " +
                           std::wstring(printerHex.begin(), printerHex.end()) +
                           (scope == DefaultsScope::AllUsers ? L" 8" : L" 9");

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return {};
    fw::KernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.Get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.Get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(self.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        return {};
    const fw::KernelHandle process(started.hProcess), thread(started.hThread);
    writer = fw::KernelHandle();  // so that the pipe breaks when the process ends
    const std::optional<std::string> answer = AnswerOf(process.Get(), reader.Get());
    if (!answer)
        return {};
    StoredDefaults stored;
    stored.readable = true;
    if (*answer == "-")
        return stored;
    const std::optional<std::vector<unsigned>> bytes = FromHex(*answer, 2);
    if (!bytes)
        return {};
    std::vector<std::uint8_t> record(bytes->begin(), bytes->end());
    if (ClaimedSizeWithin(record.data(), record.size()) != record.size())
        return {};
    stored.record = std::move(record);
    return stored;
}

// Reads what a new program of this user reads: the spooler's stored record
// for the level, not the driver's record of this process, which Wine's
// driver keeps from the merge whatever the spooler stored.
StoredDefaults Win32PrinterDefaults::ReadDefaults(const std::u16string& printer, DefaultsScope scope) {
    StoredDefaults stored;
    PrinterHandle handle(printer, PRINTER_ACCESS_USE);
    if (!handle)
        return stored;
    DWORD needed = 0;
    GetPrinterW(handle.Get(), LevelOf(scope), nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_9W))
        return stored;
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(handle.Get(), LevelOf(scope), buffer.data(), needed, &needed))
        return stored;
    stored.readable = true;
    const auto* record =
        reinterpret_cast<const BYTE*>(reinterpret_cast<const PRINTER_INFO_9W*>(buffer.data())->pDevMode);
    if (!record)
        return stored;
    // The record is trusted no further than it lies inside the buffer and
    // its sizes agree with what is left of it.
    const BYTE* end = buffer.data() + buffer.size();
    if (record < buffer.data() || record >= end)
        return StoredDefaults{};
    const std::optional<std::size_t> size = ClaimedSizeWithin(record, static_cast<std::size_t>(end - record));
    if (!size)
        return StoredDefaults{};
    stored.record.emplace(record, record + *size);
    return stored;
}

// Microsoft's way to let a user start from the printer's printing defaults
// again: level 9 set with no record. It needs no more than the right to use
// the printer.
SetOutcome Win32PrinterDefaults::RemoveUserPreferences(const std::u16string& printer) {
    PrinterHandle handle(printer, PRINTER_ACCESS_USE);
    if (!handle)
        return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
    PRINTER_INFO_9W info{nullptr};
    if (SetPrinterW(handle.Get(), 9, reinterpret_cast<BYTE*>(&info), 0))
        return SetOutcome::Set;
    return GetLastError() == ERROR_ACCESS_DENIED ? SetOutcome::AccessDenied : SetOutcome::Failed;
}

bool Win32PrinterDefaults::MakeFolder(const std::u16string& folder) {
    const std::wstring wide = ToWide(folder);
    CreateDirectoryW(wide.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace ikw::settings
