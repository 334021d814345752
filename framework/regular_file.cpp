#include "framework/regular_file.h"

#include <algorithm>

#include "framework/unique_handle.h"

namespace fw {

namespace {

// What the handle stands for when it is not a regular file, or null.
const char* NonRegularKind(HANDLE file) {
    switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
        break;
    case FILE_TYPE_PIPE:
        return "a pipe";
    case FILE_TYPE_CHAR:
        return "a character device";
    default:
        return "a device";
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileInformationByHandle(file, &information) &&
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return "a directory";
    return nullptr;
}

RegularFileRead Failed(RegularFileRead::Outcome outcome, DWORD error) {
    RegularFileRead result;
    result.outcome = outcome;
    result.error = error;
    return result;
}

}  // namespace

// Opened by handle first, so that the kind of file is known before a byte is
// read; a directory opens only with backup semantics, and is then told apart.
RegularFileRead ReadRegularFile(const std::wstring& path, std::size_t maxBytes, DWORD share) {
    const KernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return Failed(RegularFileRead::Outcome::CannotOpen, GetLastError());
    RegularFileRead result;
    if ((result.kind = NonRegularKind(file.Get())) != nullptr) {
        result.outcome = RegularFileRead::Outcome::NotRegular;
        return result;
    }
    result.bytes.resize(maxBytes);
    std::size_t filled = 0;
    while (filled < result.bytes.size()) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - filled, MAXDWORD));
        if (!::ReadFile(file.Get(), result.bytes.data() + filled, wanted, &read, nullptr))
            return Failed(RegularFileRead::Outcome::CannotRead, GetLastError());
        if (read == 0)
            break;
        filled += read;
    }
    result.bytes.resize(filled);
    return result;
}

}  // namespace fw
