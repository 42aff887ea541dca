// The repair run over an installation that is already up to date: one size
// query and one CRC-32 pass per file, against Crypto++'s raw CRC-32 over the
// same bytes, and the run's peak memory growth.
//
//   bench_repair_uptodate [FOLDER]   (default: ./bench-repair, on a real disk)

#include <malloc.h>

#include <cryptopp/crc.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Procedure/GameInfoCipher.h"
#include "Procedure/ProcedureSelfPatch.h"
#include "app/RunLog.h"
#include "bench/BenchSupport.h"
#include "download/QuillChecksums.h"
#include "platform/files/FileSystem.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 3;

using bench::FileLayout;
using bench::SecondsSince;

// An installation and a server folder announcing exactly what is installed.
std::vector<std::string> MakeInstallation(const FileLayout& layout) {
    std::vector<std::string> paths;
    std::string body =
        "[Version]\r\nVersion=1\r\n[FileList]\r\nFileCount=" + std::to_string(layout.files) +
        "\r\n";
    for (int i = 0; i < layout.files; ++i) {
        std::string path = "data/file" + std::to_string(i) + ".bin";
        fs::create_directories("data");
        if (!fs::exists(path) || fs::file_size(path) != layout.bytesEach) {
            bench::WritePatternFile(path, layout.bytesEach, i);
        }
        std::string md5;
        std::string crc;
        QuillChecksum_MD5::GetInstance()->CalcFileHex(path, md5);
        QuillChecksum_CRC::GetInstance()->CalcFileHex(path, crc);
        std::string listed = path;
        std::replace(listed.begin(), listed.end(), '/', '\\');
        body += std::to_string(i) + "=" + listed + "," + md5 + "," + crc + "," +
                std::to_string(layout.bytesEach) + ",0\r\n";
        paths.push_back(path);
    }
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    std::string image = EncodeGameInfoImage(key, body);
    fs::create_directories("srv/LauncherVersion/Launcher_1");
    std::ofstream("srv/LauncherVersion/version") << "1\n";
    std::ofstream("srv/LauncherVersion/Launcher_1/GameInfo.ini", std::ios::binary)
        .write(image.data(), static_cast<long>(image.size()));
    std::ofstream("GameInfo.ini", std::ios::binary)
        .write(image.data(), static_cast<long>(image.size()));
    return paths;
}

double RawCrcSeconds(const std::vector<std::string>& paths) {
    std::vector<char> block(1 << 20);
    auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
        platform::FileReader reader;
        reader.Open(path);
        CryptoPP::CRC32 crc;
        for (long long got; (got = reader.Read(block.data(), block.size())) > 0;) {
            crc.Update(reinterpret_cast<const CryptoPP::byte*>(block.data()),
                       static_cast<std::size_t>(got));
        }
        CryptoPP::byte digest[4];
        crc.Final(digest);
    }
    return SecondsSince(start);
}

void RunLayout(const fs::path& folder, const FileLayout& layout) {
    fs::create_directories(folder / layout.name);
    fs::current_path(folder / layout.name);
    std::vector<std::string> paths = MakeInstallation(layout);
    const double bytes = static_cast<double>(layout.bytesEach) * layout.files;

    // A local "server": the run under test is the check of what is installed.
    ProcedureSelfPatch procedure([](const std::string& url, const std::string& local, int) {
        std::string native = url;
        std::replace(native.begin(), native.end(), '\\', '/');
        return platform::CopyFile(platform::PathArg::Native(native), local, false);
    });
    std::ofstream("launcher.ini") << "[launcher]\nlauncherUrl=srv\n";
    procedure.Init(0, ".\\launcher.ini", nullptr);

    RawCrcSeconds(paths);  // page cache warm for both
    double bestRepair = 1e9;
    double bestRaw = 1e9;
    long worstGrowthKb = 0;
    for (int run = 0; run < kRuns; ++run) {
        bestRaw = std::min(bestRaw, RawCrcSeconds(paths));
        malloc_trim(0);
        bench::ResetPeakRss();
        long before = bench::ProcessStatusKb("VmRSS:");
        auto start = std::chrono::steady_clock::now();
        int result = procedure.Execute();
        bestRepair = std::min(bestRepair, SecondsSince(start));
        worstGrowthKb = std::max(worstGrowthKb, bench::ProcessStatusKb("VmHWM:") - before);
        if (result != REPAIR_DONE) {
            std::fprintf(stderr, "repair run ended with %d\n", result);
            std::exit(1);
        }
    }
    std::printf(
        "%-14s %4d files, %7.1f MiB: repair run %7.1f ms (%6.1f MB/s), raw CRC-32 %7.1f ms "
        "(%6.1f MB/s), ratio %.2f (target >= 0.9), peak memory growth %.1f MB "
        "(target < 30 MB)\n",
        layout.name, layout.files, bytes / (1 << 20), bestRepair * 1e3, bytes / bestRepair / 1e6,
        bestRaw * 1e3, bytes / bestRaw / 1e6, bestRaw / bestRepair,
        static_cast<double>(worstGrowthKb) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path("bench-repair"));
    fs::create_directories(folder / "sandbox");
    setenv("VELA_SANDBOX", (folder / "sandbox").c_str(), 1);
    ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = false});
    std::printf("best of %d runs each, files in the page cache\n", kRuns);
    RunLayout(folder, FileLayout{"one-256MiB", 1, std::size_t{256} << 20});
    RunLayout(folder, FileLayout{"200-of-1MiB", 200, std::size_t{1} << 20});
    return 0;
}
