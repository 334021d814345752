// ikwdev-inspect-batch, for the inspector's tests where starting a process is
// dear (a 32-bit build under emulation, where each Wine start takes a minute
// or more): one process runs many command lines through ikwdev-inspect.exe's
// own wmain (main.cpp, compiled here as InspectorMain), each with its
// standard output and standard error put where the case asks, both as the C
// streams and as the Win32 standard handles that the inspector writes to.
//
// Standard input, one line a case, fields separated by tabs:
//   OUTPUT ARG...   OUTPUT: "file" (ikw-batch.out), "full" (the full device)
//                   or "closed-pipe" (a pipe whose reader is gone); each ARG
//                   the UTF-8 bytes of one argument, in hex.
// Standard output: "ready" once, then "status N" a case, N the exit status
// wmain returned. The case's standard error goes to ikw-batch.err, and with
// "file" its standard output to ikw-batch.out, both in the current folder.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

int InspectorMain(int argc, wchar_t** argv);

namespace {

std::wstring FromUtf8(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// What a case writes to: a file, the full device, or a pipe nobody reads.
HANDLE OpenOutput(const std::string& kind, const wchar_t* file) {
    if (kind == "full")
        return CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (kind == "closed-pipe") {
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0))
            return INVALID_HANDLE_VALUE;
        CloseHandle(readEnd);
        return writeEnd;
    }
    return CreateFileW(file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
}

// Puts one standard stream (descriptor 1 or 2) on a handle for one case, and
// back on the batch's own when it ends.
class RedirectedStream {
public:
    RedirectedStream(int descriptor, DWORD stdHandle, std::FILE* stream, HANDLE target)
        : m_descriptor(descriptor),
          m_stdHandle(stdHandle),
          m_stream(stream),
          m_saved(_dup(descriptor)),
          m_savedHandle(GetStdHandle(stdHandle)) {
        std::fflush(m_stream);
        const int targetDescriptor = _open_osfhandle(reinterpret_cast<intptr_t>(target), _O_WRONLY | _O_TEXT);
        _dup2(targetDescriptor, m_descriptor);
        _close(targetDescriptor);
        SetStdHandle(m_stdHandle, reinterpret_cast<HANDLE>(_get_osfhandle(m_descriptor)));
    }
    ~RedirectedStream() {
        std::fflush(m_stream);
        std::clearerr(m_stream);
        _dup2(m_saved, m_descriptor);
        _close(m_saved);
        SetStdHandle(m_stdHandle, m_savedHandle);
    }
    RedirectedStream(const RedirectedStream&) = delete;
    RedirectedStream& operator=(const RedirectedStream&) = delete;

private:
    int m_descriptor;
    DWORD m_stdHandle;
    std::FILE* m_stream;
    int m_saved;
    HANDLE m_savedHandle;
};

int RunCase(const std::string& line) {
    std::istringstream fields(line);
    std::string output;
    std::getline(fields, output, '\t');
    std::vector<std::wstring> args{L"ikwdev-inspect.exe"};
    for (std::string hex; std::getline(fields, hex, '\t');)
        args.push_back(FromUtf8(FromHex(hex)));
    std::vector<wchar_t*> argv;
    for (std::wstring& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    RedirectedStream err(2, STD_ERROR_HANDLE, stderr, OpenOutput("file", L"ikw-batch.err"));
    RedirectedStream out(1, STD_OUTPUT_HANDLE, stdout, OpenOutput(output, L"ikw-batch.out"));
    return InspectorMain(static_cast<int>(args.size()), argv.data());
}

}  // namespace

int wmain() {
    // The answers go to the batch's own standard output, kept apart from the
    // descriptor each case redirects.
    const int answers = _dup(1);
    std::FILE* answerStream = _fdopen(answers, "w");
    std::fputs("ready\n", answerStream);
    std::fflush(answerStream);
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const int status = RunCase(line);
        std::fprintf(answerStream, "status %d\n", status);
        std::fflush(answerStream);
    }
    std::fclose(answerStream);
    return 0;
}
