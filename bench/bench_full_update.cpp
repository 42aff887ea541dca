// A full update from nginx on loopback, as the download thread runs it,
// against a shell loop doing the same work with standard tools (curl -o of
// each file on its own connection, md5sum, two cp), and plain curl for scale.
//
//   bench_full_update [FOLDER]   (default: ./bench-update, on a real disk)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Procedure/PatchManager.h"
#include "app/LauncherMessages.h"
#include "app/RunLog.h"
#include "bench/BenchSupport.h"
#include "tests/support/NginxFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 3;

using bench::FileLayout;
using bench::SecondsSince;

int g_result = -1;

platform::MessageResult NotifyProc(platform::WindowHandle window, std::uint32_t message,
                                   platform::MessageParam wParam, platform::MessageLong lParam) {
    if (message >= NM_LAUNCHER_PATCH_RESULT && message <= NM_LAUNCHER_PATCH_RESULT + 9) {
        g_result = static_cast<int>(message - NM_LAUNCHER_NEW_VERSION_TEXT);
    }
    if (message >= NM_LAUNCHER_CLEAN_PROGRESS && message <= NM_LAUNCHER_SHOW) {
        return 0;
    }
    return platform::DefaultWindowProcedure(window, message, wParam, lParam);
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

std::vector<std::string> MakeRelease(const FileLayout& layout) {
    std::vector<std::string> names;
    fs::create_directories("rel/data");
    for (int i = 0; i < layout.files; ++i) {
        std::string name = "data/file" + std::to_string(i) + ".bin";
        bench::WritePatternFile("rel/" + name, layout.bytesEach, i);
        names.push_back(name);
    }
    return names;
}

double UpdateSeconds(const std::string& base, platform::WindowHandle window) {
    fs::remove_all("install");
    fs::create_directories("install");
    fs::current_path("install");
    std::ofstream("launcher.ini") << "[launcher]\nlauncherUrl=" << base << "\n";
    g_result = -1;
    double seconds = 0;
    {
        CPatchManager manager;
        manager.Setup(window);
        auto start = std::chrono::steady_clock::now();
        manager.StartDownload();
        manager.WaitForDownload(0xFFFFFFFF);
        seconds = SecondsSince(start);
    }
    fs::current_path("..");
    if (g_result != 15) {
        std::fprintf(stderr, "the update ended with code %d\n", g_result);
        std::exit(1);
    }
    return seconds;
}

double ShellSeconds(const std::string& base, const std::vector<std::string>& names,
                    bool plainCurl) {
    fs::remove_all("shell");
    fs::create_directories("shell/temp_d");
    fs::create_directories("shell/temp_launcher/launcher");
    fs::create_directories("shell/data");
    std::ofstream script("shell.sh");
    script << "set -e\ncd shell\n";
    for (const std::string& name : names) {
        std::string url = base + "/LauncherVersion/Launcher_1/" + name;
        if (plainCurl) {
            script << "curl -s -o " << name << " " << url << "\n";
        } else {
            script << "curl -s -o temp_d/t " << url << "\nmd5sum temp_d/t >/dev/null\n"
                   << "cp temp_d/t temp_launcher/launcher/t\ncp temp_launcher/launcher/t " << name
                   << "\nrm temp_d/t temp_launcher/launcher/t\n";
        }
    }
    script.close();
    auto start = std::chrono::steady_clock::now();
    Run("bash shell.sh");
    return SecondsSince(start);
}

void RunLayout(const fs::path& folder, const std::string& tools, const FileLayout& layout,
               platform::WindowHandle window) {
    fs::remove_all(folder / layout.name);
    fs::create_directories(folder / layout.name);
    fs::current_path(folder / layout.name);
    std::vector<std::string> names = MakeRelease(layout);
    Run("'" + tools + "/vela-gameinfo' publish rel --version 1 --root srv >/dev/null");

    testsupport::NginxFixture nginx;
    if (!nginx.Start("srv", "nginx")) {
        std::fprintf(stderr, "nginx did not start\n");
        std::exit(1);
    }
    const std::string base = nginx.Url("");
    double update = 1e9, shell = 1e9, curl = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        update = std::min(update, UpdateSeconds(base, window));
        shell = std::min(shell, ShellSeconds(base, names, false));
        curl = std::min(curl, ShellSeconds(base, names, true));
    }
    nginx.Stop();
    std::printf(
        "%-12s full update %7.1f ms, shell loop %7.1f ms, ratio %.2f (target <= %s); "
        "plain curl %7.1f ms\n",
        layout.name, update * 1e3, shell * 1e3, update / shell, layout.files == 1 ? "0.8" : "0.25",
        curl * 1e3);
    fs::current_path(folder);
}

}  // namespace

int main(int argc, char** argv) {
    fs::path folder = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path("bench-update"));
    std::string tools = fs::absolute(fs::path(argv[0])).parent_path().string();
    fs::create_directories(folder / "sandbox");
    setenv("VELA_SANDBOX", (folder / "sandbox").c_str(), 1);
    ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = true});
    platform::RegisterWindowClass(u"BenchNotifyWindow", NotifyProc);
    platform::WindowHandle window =
        platform::CreateWindowOfClass(u"BenchNotifyWindow", u"", 0, 0, 0, 0, 0, 0, 0);
    std::printf("best of %d runs each, nginx on 127.0.0.1\n", kRuns);
    RunLayout(folder, tools, FileLayout{"one-256MiB", 1, std::size_t{256} << 20}, window);
    RunLayout(folder, tools, FileLayout{"200-of-1MiB", 200, std::size_t{1} << 20}, window);
    platform::DestroyWindowHandle(window);
    return 0;
}
