#include "devinfo/file_name_suggestion.h"

namespace ikw {

namespace {

// The split writes the file-name component with its terminator into a buffer
// of this many code units.
constexpr std::size_t kFileNameBufferUnits = 260;

char16_t UpperAscii(char16_t unit) { return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 0x20) : unit; }

bool IsDevicePortDigit(char16_t unit) {
    return (unit >= u'1' && unit <= u'9') || unit == u'\u00b9' || unit == u'\u00b2' || unit == u'\u00b3';
}

}  // namespace

std::size_t FileNameStart(const std::u16string& path) {
    const std::size_t driveEnd = path.size() >= 2 && path[1] == u':' ? 2 : 0;
    const std::size_t lastSeparator = path.find_last_of(u"\\/");
    if (lastSeparator == std::u16string::npos || lastSeparator < driveEnd)
        return driveEnd;
    return lastSeparator + 1;
}

bool IsDeviceName(const std::u16string& fileName) {
    std::u16string stem = fileName.substr(0, fileName.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.pop_back();
    for (char16_t& unit : stem)
        unit = UpperAscii(unit);
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, u"COM") == 0 || stem.compare(0, 3, u"LPT") == 0) &&
           IsDevicePortDigit(stem[3]);
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
