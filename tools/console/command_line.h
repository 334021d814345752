#pragma once
// The console tools' one reading of a command line: an argument that starts
// with '-' and is longer than "-" is an option until "--" ends the options;
// every other argument is an operand.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ikw::console {

struct OptionRule {
    enum Kind {
        Flag,       // "--json"
        WithValue,  // "--printer NAME" or "--printer=NAME"
        Final,      // "--help": what follows it is not looked at
    };
    std::u16string name;  // "--json", "-h"
    Kind kind = Flag;
};

struct ParsedOption {
    std::u16string name;
    std::u16string value;  // empty for an option without a value
};

struct ParsedCommandLine {
    std::vector<ParsedOption> options;  // in the order given
    std::vector<std::size_t> operands;  // indices into the argument list

    // The first option the line is wrong in: one not in the list, or one
    // whose value is missing at the end of the line. Nothing after it is read.
    enum class Problem { UnknownOption, MissingValue };
    std::optional<Problem> problem;
    std::u16string problemArgument;

    bool Has(const std::u16string& name) const;
    // The value of the last such option, or nullopt when none was given.
    std::optional<std::u16string> Value(const std::u16string& name) const;
};

// Reads args from index first on.
ParsedCommandLine ParseCommandLine(const std::vector<std::u16string>& args, std::size_t first,
                                   const std::vector<OptionRule>& options);

}  // namespace ikw::console
