#pragma once
// A string table in memory: an interface language's texts as a test gives
// them, and nothing for any other id.

#include <map>
#include <string>

#include "interfaces/string_table.h"

namespace ikw::test_support {

class FakeStringTable : public StringTable {
public:
    std::map<unsigned, std::u16string> table;
    std::u16string Load(unsigned id) override {
        const auto found = table.find(id);
        return found == table.end() ? std::u16string() : found->second;
    }
};

}  // namespace ikw::test_support
