// The four commands of vela-gameinfo. Each returns the exit code and throws
// ToolError for a failure, UsageError for a bad command line.
#pragma once

#include <string>
#include <vector>

int RunShowCommand(const std::vector<std::string>& args);
int RunPackCommand(const std::vector<std::string>& args);
int RunPublishCommand(const std::vector<std::string>& args);
int RunVerifyCommand(const std::vector<std::string>& args);
