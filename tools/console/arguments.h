#pragma once
// What a console tool's process is given: its command line, and the files
// the command line names, read the same careful way by both tools.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ikw::console {

#ifdef _WIN32
// wmain's: file and printer names outside the ANSI code page reach us intact.
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif

// The arguments after the program's name, as the core's UTF-16. On the
// host a name that is not UTF-8 keeps its odd bytes as lone surrogates
// (FromUtf8), so that it still shows, and stays apart from other names.
std::vector<std::u16string> ArgumentsOf(int argc, const NativeChar* const* argv);

struct FileContents {
    std::vector<std::uint8_t> bytes;   // at most maxBytes of them
    std::optional<std::string> error;  // why the file could not be read
};

// The first maxBytes bytes of a regular file, opened by its name as the
// platform gives it. Only regular files are read: a FIFO or a pipe would
// block the run and a directory or device holds no file to read. Others may
// read, write and remove the file meanwhile: a tool that only looks at a
// file must not lock out the program that writes it.
FileContents ReadRegularFile(const NativeChar* path, std::size_t maxBytes);

}  // namespace ikw::console
