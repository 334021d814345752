// Whatever a printer is called, the suggestion is a plain file name: part of
// the printer name, with no folder in it and short enough for a path.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "devinfo/file_name_suggestion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string name;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        name.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    const std::u16string suggestion = ikw::SuggestFileName(name);
    if (suggestion.size() >= 260 || suggestion.find_first_of(u"\\/") != std::u16string::npos ||
        name.find(suggestion) == std::u16string::npos)
        std::abort();
    return 0;
}
