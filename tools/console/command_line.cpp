#include "tools/console/command_line.h"

namespace ikw::console {

bool ParsedCommandLine::Has(const std::u16string& name) const { return Value(name).has_value(); }

std::optional<std::u16string> ParsedCommandLine::Value(const std::u16string& name) const {
    std::optional<std::u16string> value;
    for (const ParsedOption& option : options)
        if (option.name == name)
            value = option.value;
    return value;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::u16string>& args, std::size_t first,
                                   const std::vector<OptionRule>& options) {
    ParsedCommandLine line;
    const auto fail = [&](ParsedCommandLine::Problem problem, const std::u16string& argument) {
        line.problem = problem;
        line.problemArgument = argument;
        return line;
    };
    bool optionsEnded = false;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::u16string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != u'-') {
            line.operands.push_back(i);
            continue;
        }
        if (arg == u"--") {
            optionsEnded = true;
            continue;
        }
        // "--name=value" gives an option its value in the same argument.
        const std::size_t equals = arg.find(u'=');
        const std::u16string name = arg.substr(0, equals);
        const OptionRule* rule = nullptr;
        for (const OptionRule& option : options)
            if (option.name == name)
                rule = &option;
        if (rule == nullptr || (equals != std::u16string::npos && rule->kind != OptionRule::WithValue))
            return fail(ParsedCommandLine::Problem::UnknownOption, arg);
        if (equals != std::u16string::npos)
            line.options.push_back({name, arg.substr(equals + 1)});
        else if (rule->kind != OptionRule::WithValue)
            line.options.push_back({name, u""});
        else if (i + 1 < args.size())
            line.options.push_back({name, args[++i]});
        else
            return fail(ParsedCommandLine::Problem::MissingValue, arg);
        if (rule->kind == OptionRule::Final)
            break;
    }
    return line;
}

}  // namespace ikw::console
