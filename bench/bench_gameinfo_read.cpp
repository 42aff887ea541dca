// Deciphering and reading a game information file of 20,000 entries, as the
// repair run reads a new version's list: time and peak memory growth.
//
//   bench_gameinfo_read [FOLDER]   (default: ./bench-gameinfo, on a real disk)

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Procedure/GameInfoCipher.h"
#include "Procedure/GameInfoFile.h"
#include "bench/BenchSupport.h"

namespace {

constexpr int kEntries = 20000;
constexpr int kRuns = 15;

// Processor time of this process: steadier than wall time on a shared machine.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

std::string MakeBody() {
    std::string body =
        "[Version]\r\nVersion=2.4.0\r\n[FileList]\r\nFileCount=" + std::to_string(kEntries) +
        "\r\n";
    char line[256];
    for (int i = 0; i < kEntries; ++i) {
        std::snprintf(line, sizeof line,
                      "%d=Data\\Pack%03d\\asset_%05d.bundle,%08X%08X%08X%08X,%08X,%d,0\r\n", i,
                      i % 200, i, i * 2654435761u, i ^ 0x5bd1e995, i * 40503u, ~i, i * 7u,
                      1000 + i * 37);
        body += line;
    }
    return body;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::current_path() / "bench-gameinfo";
    fs::create_directories(folder / "sandbox");
    setenv("VELA_SANDBOX", (folder / "sandbox").c_str(), 1);
    fs::current_path(folder);

    {
        unsigned char key[kGameInfoKeySize];
        MakeGameInfoKey(key);
        std::string image = EncodeGameInfoImage(key, MakeBody());
        std::ofstream("GameInfo.ini", std::ios::binary)
            .write(image.data(), static_cast<long>(image.size()));
    }
    const auto fileSize = fs::file_size("GameInfo.ini");

    std::vector<double> millis;
    std::vector<double> cpuMillis;
    long worstGrowthKb = 0;
    std::size_t records = 0;
    for (int run = 0; run < kRuns + 1; ++run) {
        malloc_trim(0);
        bench::ResetPeakRss();
        long before = bench::ProcessStatusKb("VmRSS:");
        double cpuStart = CpuMs();
        auto start = std::chrono::steady_clock::now();
        std::string version;
        std::vector<RepairFileRecord> list;
        if (!ReadGameInfoFileList("GameInfo.ini", version, list)) {
            std::fprintf(stderr, "read failed\n");
            return 1;
        }
        auto end = std::chrono::steady_clock::now();
        double cpu = CpuMs() - cpuStart;
        long growth = bench::ProcessStatusKb("VmHWM:") - before;
        records = list.size();
        if (run == 0) {
            continue;  // warm-up: page cache, first allocations
        }
        millis.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        cpuMillis.push_back(cpu);
        worstGrowthKb = std::max(worstGrowthKb, growth);
    }
    std::sort(millis.begin(), millis.end());
    std::sort(cpuMillis.begin(), cpuMillis.end());
    double fileMb = static_cast<double>(fileSize) / 1e6;
    std::printf("game information file: %d entries, %.2f MB, %zu records read\n", kEntries, fileMb,
                records);
    std::printf(
        "ReadGameInfoFileList: best %.1f ms, median %.1f ms, worst %.1f ms over %d runs "
        "(target < 50 ms)\n",
        millis.front(), millis[millis.size() / 2], millis.back(), kRuns);
    std::printf("  processor time: best %.1f ms, median %.1f ms, worst %.1f ms\n",
                cpuMillis.front(), cpuMillis[cpuMillis.size() / 2], cpuMillis.back());
    std::printf("peak memory growth: %.2f MB = %.1fx the file (target <= 10x)\n",
                static_cast<double>(worstGrowthKb) / 1024.0,
                static_cast<double>(worstGrowthKb) * 1024.0 / static_cast<double>(fileSize));
    return 0;
}
