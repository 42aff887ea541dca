// File digest throughput: CalcFileHex of the CRC and MD5 classes against
// md5sum and against the bare hashes over the same file, page cache warm.
//
//   bench_file_digest [FOLDER]   (default: bench-data below the build folder)
//
// Creates a 256 MiB file, reads it once, runs each measurement a few times and
// prints the best MB/s, the spread between runs (the noise) and the ratios,
// by wall time and by CPU time; on a shared machine the CPU figures are the
// steadier ones.
#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/crc.h>
#include <cryptopp/md5.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "download/QuillChecksums.h"
#include "platform/files/FileSystem.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileSize = 256u << 20;
constexpr std::size_t kBlockSize = 1u << 20;
constexpr int kRepetitions = 5;

struct Figure {
    double best_mb_per_s = 0;
    double spread_percent = 0;  // (best - worst) / best: the noise
};

// One run of a measurement: the CPU seconds it used, or nullopt on failure.
using Run = std::function<std::optional<double>()>;

Run InProcess(std::function<bool()> work) {
    return [work = std::move(work)]() -> std::optional<double> {
        const std::clock_t start = std::clock();
        if (!work()) {
            return std::nullopt;
        }
        return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    };
}

// A command run by bash, whose time keyword reports the child's CPU seconds.
Run Command(const std::string& command, const fs::path& times_file) {
    const std::string line = "bash -c 'TIMEFORMAT=\"%3U %3S\"; time " + command +
                             " > /dev/null' 2> '" + times_file.string() + "'";
    return [line, times_file]() -> std::optional<double> {
        if (std::system(line.c_str()) != 0) {
            return std::nullopt;
        }
        double user = 0, system = 0;
        std::ifstream times(times_file);
        if (!(times >> user >> system)) {
            return std::nullopt;
        }
        return user + system;
    };
}

Figure Summarize(const std::vector<double>& seconds) {
    const auto [fastest, slowest] = std::minmax_element(seconds.begin(), seconds.end());
    return {static_cast<double>(kFileSize) / 1e6 / *fastest,
            100.0 * (*slowest - *fastest) / *slowest};
}

struct Figures {
    Figure wall;
    Figure cpu;
};

// Rounds run every measurement once in turn, so a slow spell of a busy
// machine spreads over all of them instead of one.
std::vector<Figures> MeasureInRounds(const std::vector<Run>& runs) {
    std::vector<std::vector<double>> wall(runs.size()), cpu(runs.size());
    for (int round = 0; round < kRepetitions; ++round) {
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            const std::optional<double> cpu_seconds = runs[i]();
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            if (!cpu_seconds) {
                std::fprintf(stderr, "measurement %zu failed\n", i);
                std::exit(1);
            }
            wall[i].push_back(elapsed.count());
            cpu[i].push_back(std::max(*cpu_seconds, 1e-3));
        }
    }
    std::vector<Figures> figures;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        figures.push_back({Summarize(wall[i]), Summarize(cpu[i])});
    }
    return figures;
}

bool CreateFile(const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> block(kBlockSize);
    uint32_t state = 0x12345678;
    for (std::size_t done = 0; done < kFileSize; done += block.size()) {
        for (char& c : block) {
            state = state * 1664525u + 1013904223u;
            c = static_cast<char>(state >> 24);
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    return out.good();
}

// Reads the file in 1 MiB blocks and hands each to update.
bool ReadBlocks(const std::string& path,
                const std::function<void(const unsigned char*, size_t)>& update) {
    platform::FileReader reader;
    if (!reader.Open(platform::PathArg::Native(path))) {
        return false;
    }
    std::unique_ptr<unsigned char[]> block(new unsigned char[kBlockSize]);
    for (;;) {
        const long long got = reader.Read(block.get(), kBlockSize);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        update(block.get(), static_cast<std::size_t>(got));
    }
}

template <class Hash>
bool RawHash(const std::string& path) {
    Hash hash;
    if (!ReadBlocks(path,
                    [&](const unsigned char* data, size_t size) { hash.Update(data, size); })) {
        return false;
    }
    unsigned char digest[Hash::DIGESTSIZE];
    hash.Final(digest);
    return true;
}

void Print(const char* name, const Figures& figures) {
    std::printf("%-18s wall %7.1f MB/s (spread %4.1f %%)   cpu %7.1f MB/s (spread %4.1f %%)\n",
                name, figures.wall.best_mb_per_s, figures.wall.spread_percent,
                figures.cpu.best_mb_per_s, figures.cpu.spread_percent);
}

void PrintRatio(const char* name, const Figures& ours, const Figures& reference, double target) {
    const double wall = ours.wall.best_mb_per_s / reference.wall.best_mb_per_s;
    const double cpu = ours.cpu.best_mb_per_s / reference.cpu.best_mb_per_s;
    std::printf("%-28s wall %5.3f  cpu %5.3f  (target >= %.2f: %s)\n", name, wall, cpu, target,
                std::min(wall, cpu) >= target ? "met" : "NOT met");
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1
                                ? fs::path(argv[1])
                                : fs::absolute(argv[0]).parent_path().parent_path() / "bench-data";
    fs::create_directories(folder);
    const fs::path file = folder / "digest-256MiB.bin";
    if (!CreateFile(file)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    const std::string path = file.string();
    // Warm the page cache so every measurement reads from memory.
    ReadBlocks(path, [](const unsigned char*, size_t) {});

    const std::string cp936_path = platform::Cp936PathFromNative(path).value_or(path);
    const std::vector<Figures> figures = MeasureInRounds({
        InProcess([&] {
            std::string hex;
            return QuillChecksum_CRC::GetInstance()->CalcFileHex(cp936_path, hex) == 1;
        }),
        InProcess([&] { return RawHash<CryptoPP::CRC32>(path); }),
        InProcess([&] {
            std::string hex;
            return QuillChecksum_MD5::GetInstance()->CalcFileHex(cp936_path, hex) == 1;
        }),
        InProcess([&] { return RawHash<CryptoPP::Weak1::MD5>(path); }),
        Command("md5sum \"" + path + "\"", folder / "md5sum-times.txt"),
    });
    const Figures& crc_file = figures[0];
    const Figures& crc_raw = figures[1];
    const Figures& md5_file = figures[2];
    const Figures& md5_raw = figures[3];
    const Figures& md5_tool = figures[4];

    std::printf("file %s, %zu MiB, best of %d\n", path.c_str(), kFileSize >> 20, kRepetitions);
    Print("CRC CalcFileHex", crc_file);
    Print("CRC raw Update", crc_raw);
    Print("MD5 CalcFileHex", md5_file);
    Print("MD5 raw Update", md5_raw);
    Print("md5sum", md5_tool);
    PrintRatio("MD5 CalcFileHex / md5sum", md5_file, md5_tool, 0.85);
    PrintRatio("CRC CalcFileHex / raw CRC", crc_file, crc_raw, 0.9);
    PrintRatio("MD5 CalcFileHex / raw MD5", md5_file, md5_raw, 0.9);
    fs::remove(file);
    fs::remove(folder / "md5sum-times.txt");
    return 0;
}
