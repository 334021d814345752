#pragma once
// The program's texts from its own string table, in the language of the
// user interface (the resources pick it).

#include "interfaces/string_table.h"

namespace ikw {

class Win32StringTable : public StringTable {
public:
    std::u16string Load(unsigned id) override;
};

}  // namespace ikw
