// The running processes with the paths of their executables, where the system
// lets us read them: processes whose path cannot be read (those of other users,
// mostly) are left out, as the original platform's callers skip them. Any thread.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct ProcessEntry {
    int pid = 0;
    std::string native_path;   // UTF-8, '/' separators
    std::u16string wide_path;  // '\' separators, as the module path is reported
};

// Empty when the process table cannot be read.
std::vector<ProcessEntry> ListProcesses();

}  // namespace platform
