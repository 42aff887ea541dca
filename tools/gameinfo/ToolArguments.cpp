#include "tools/gameinfo/ToolArguments.h"

#include <algorithm>

#include "tools/gameinfo/ToolError.h"

ToolArguments ToolArguments::Parse(const std::vector<std::string>& args,
                                   const std::vector<std::string>& valueOptions) {
    ToolArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (std::size_t equals = arg.find('='); equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        }
        if (std::find(valueOptions.begin(), valueOptions.end(), name) == valueOptions.end()) {
            throw UsageError("unknown option " + name);
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                throw UsageError("option " + name + " needs a value");
            }
            value = args[++i];
        }
        if (parsed.options.count(name) != 0) {
            throw UsageError("option " + name + " given twice");
        }
        parsed.options[name] = value;
    }
    return parsed;
}

const std::string& ToolArguments::Require(const std::string& option) const {
    auto it = options.find(option);
    if (it == options.end()) {
        throw UsageError("missing " + option);
    }
    return it->second;
}
