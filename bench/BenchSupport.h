// Small pieces the benchmark programs share: timing, the resident set of
// this process, and test files of a given size.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

// Files of one release: how many, and the bytes of each.
struct FileLayout {
    const char* name;
    int files;
    std::size_t bytesEach;
};

inline double SecondsSince(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"), or -1.
inline long ProcessStatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
        }
    }
    return -1;
}

// Peak memory is then measured from here: VmHWM restarts at the current RSS.
inline void ResetPeakRss() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A file of bytes that differ with seed and position, written in 1 MiB blocks.
inline void WritePatternFile(const std::string& path, std::size_t bytes, int seed) {
    std::string block(1 << 20, '\0');
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::size_t written = 0; written < bytes; written += block.size()) {
        for (std::size_t k = 0; k < block.size(); k += 64) {
            block[k] = static_cast<char>(written / 4096 + k * 7 + static_cast<std::size_t>(seed));
        }
        out.write(block.data(), static_cast<long>(std::min(block.size(), bytes - written)));
    }
}

}  // namespace bench
