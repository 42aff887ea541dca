// Command-line arguments of one command: positional words and options that
// take a value ("--version V" or "--version=V").
#pragma once

#include <map>
#include <string>
#include <vector>

struct ToolArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    // Throws UsageError for an unknown option or one without its value.
    static ToolArguments Parse(const std::vector<std::string>& args,
                               const std::vector<std::string>& valueOptions);
    // The option's value; throws UsageError when it is missing.
    const std::string& Require(const std::string& option) const;
};
