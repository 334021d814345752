#include "devinfo/file_name_suggestion.h"

namespace ikw {

namespace {

// The split writes the file-name component with its terminator into a buffer
// of this many code units.
constexpr std::size_t kFileNameBufferUnits = 260;

}  // namespace

std::size_t FileNameStart(const std::u16string& path) {
    const std::size_t driveEnd = path.size() >= 2 && path[1] == u':' ? 2 : 0;
    const std::size_t lastSeparator = path.find_last_of(u"\\/");
    if (lastSeparator == std::u16string::npos || lastSeparator < driveEnd)
        return driveEnd;
    return lastSeparator + 1;
}

std::u16string SuggestFileName(const std::u16string& deviceName) {
    const std::size_t nameStart = FileNameStart(deviceName);
    const std::size_t lastDot = deviceName.find_last_of(u'.');
    const std::size_t nameEnd = lastDot == std::u16string::npos || lastDot < nameStart ? deviceName.size() : lastDot;

    std::u16string name = deviceName.substr(nameStart, nameEnd - nameStart);
    if (name.size() >= kFileNameBufferUnits)
        return {};
    return name;
}

}  // namespace ikw
