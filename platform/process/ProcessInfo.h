// The running process as the original platform describes it: one wide
// command line, and the path of its executable ("module"). The wide and
// narrow module paths use '\' separators, as that platform reports them;
// every path function of the layer accepts them back. Any thread.
#pragma once

#include <string>

namespace platform {

// argv of this process joined with BuildCommandLine; read once.
const std::u16string& GetProcessCommandLine();

// Empty when the executable's path cannot be read.
std::string GetModulePathNative();
std::u16string GetModulePathWide();
// Code page 936; empty also when the path has no such form.
std::string GetModulePathCp936();

int GetCurrentProcessId();

}  // namespace platform
