// File digest throughput: CalcFileHex of the CRC and MD5 classes against
// md5sum and against the bare hashes over the same file, page cache warm.
//
//   bench_file_digest [FOLDER]   (default: bench-data below the build folder)
//
// Creates a 256 MiB file, reads it once, runs each measurement a few times and
// prints the best MB/s, the spread between runs (the noise) and the ratios.
#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/crc.h>
#include <cryptopp/md5.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
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
    double spread_percent = 0;  // (best - worst) / best
};

double TimeOnce(const std::function<bool()>& run) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) {
        std::fprintf(stderr, "measurement failed\n");
        std::exit(1);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return static_cast<double>(kFileSize) / 1e6 / seconds.count();
}

// Rounds run every measurement once in turn, so a slow spell of a busy
// machine spreads over all of them instead of one.
std::vector<Figure> MeasureInRounds(const std::vector<std::function<bool()>>& runs) {
    std::vector<std::vector<double>> rates(runs.size());
    for (int round = 0; round < kRepetitions; ++round) {
        for (std::size_t i = 0; i < runs.size(); ++i) {
            rates[i].push_back(TimeOnce(runs[i]));
        }
    }
    std::vector<Figure> figures;
    for (const std::vector<double>& r : rates) {
        const auto [worst, best] = std::minmax_element(r.begin(), r.end());
        figures.push_back({*best, 100.0 * (*best - *worst) / *best});
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

void Print(const char* name, const Figure& figure) {
    std::printf("%-24s %8.1f MB/s   spread %4.1f %%\n", name, figure.best_mb_per_s,
                figure.spread_percent);
}

void PrintRatio(const char* name, const Figure& ours, const Figure& reference, double target) {
    const double ratio = ours.best_mb_per_s / reference.best_mb_per_s;
    std::printf("%-36s %5.3f  (target >= %.2f: %s)\n", name, ratio, target,
                ratio >= target ? "met" : "NOT met");
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

    const std::string md5sum = "md5sum '" + path + "' > /dev/null";
    std::string cp936_path = platform::Cp936PathFromNative(path).value_or(path);
    const std::vector<Figure> figures = MeasureInRounds({
        [&] {
            std::string hex;
            return QuillChecksum_CRC::GetInstance()->CalcFileHex(cp936_path, hex) == 1;
        },
        [&] { return RawHash<CryptoPP::CRC32>(path); },
        [&] {
            std::string hex;
            return QuillChecksum_MD5::GetInstance()->CalcFileHex(cp936_path, hex) == 1;
        },
        [&] { return RawHash<CryptoPP::Weak1::MD5>(path); },
        [&] { return std::system(md5sum.c_str()) == 0; },
    });
    const Figure& crc_file = figures[0];
    const Figure& crc_raw = figures[1];
    const Figure& md5_file = figures[2];
    const Figure& md5_raw = figures[3];
    const Figure& md5_tool = figures[4];

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
    return 0;
}
