#pragma once
// The program's own texts, in the language of the user interface.

#include <string>

namespace ikw {

// The program's string table in the interface language.
class StringTable {
public:
    virtual ~StringTable() = default;
    // Empty when the resources hold no string with that id.
    virtual std::u16string Load(unsigned id) = 0;
};

}  // namespace ikw
