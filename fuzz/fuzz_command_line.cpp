// Splitting a command line, building it again and splitting that must give
// the same arguments.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/process/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string line(size / 2, u'\0');
    for (size_t i = 0; i < line.size(); ++i) {
        line[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    auto args = platform::SplitCommandLine(line);
    if (platform::SplitCommandLine(platform::BuildCommandLine(args)) != args) {
        std::abort();
    }
    return 0;
}
