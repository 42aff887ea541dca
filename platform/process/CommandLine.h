// Command lines as one wide string, with the original platform's quoting
// rules: space and tab separate arguments; a quote toggles quoting; 2n
// backslashes before a quote stand for n backslashes (the quote still
// toggles), 2n+1 for n backslashes and a literal quote; other backslashes are
// literal. The program path follows the same rules as every other argument,
// so SplitCommandLine(BuildCommandLine(args)) == args for any args.
// Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

std::u16string BuildCommandLine(const std::vector<std::u16string>& args);
std::vector<std::u16string> SplitCommandLine(std::u16string_view line);

}  // namespace platform
