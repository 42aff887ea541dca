// A second process for the platform layer's tests. Subcommands:
//   mutex NAME RELEASE_FILE   take the named mutex, print "created" or "exists";
//                             a holder then waits for RELEASE_FILE and ends
//                             without releasing, so the end of the process does
//   wait RELEASE_FILE         wait for RELEASE_FILE to appear, then exit 0
//   cmdline                   print the process command line, then each of its
//                             split arguments, every piece ended by a NUL byte
//   print OUT ERR             write OUT to standard output, then ERR to standard error
//   cwd                       print the current directory
//   fds                       print the target of each open descriptor, one a line
//   exit CODE                 end with exit code CODE
//   regset u|m KEY NAME TYPE HEX   set a value, creating the key; print the result
//   regget u|m KEY NAME            print "RESULT TYPE HEX" of a value
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/CommandLine.h"
#include "platform/process/ProcessInfo.h"
#include "platform/registry/Registry.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/TextConversion.h"

namespace {

void WaitForFile(const char* path) {
    // Bounded, so a test that fails to release does not leave us behind.
    for (int i = 0; i < 6000 && !std::filesystem::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Write(std::FILE* out, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
}

platform::Hive HiveOf(const std::string& name) {
    return name == "m" ? platform::Hive::kLocalMachine : platform::Hive::kCurrentUser;
}

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const std::vector<uint8_t>& bytes) {
    std::string hex;
    char pair[3];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex += pair;
    }
    return hex;
}

int Mutex(const char* name, const char* release_file) {
    platform::NamedMutex mutex;
    auto result = mutex.Create(platform::Utf8ToUtf16(name));
    if (result != platform::NamedMutex::Result::kCreated) {
        Write(stdout,
              result == platform::NamedMutex::Result::kAlreadyExists ? "exists\n" : "failed\n");
        return 0;
    }
    Write(stdout, "created\n");
    WaitForFile(release_file);
    std::_Exit(0);
}

int CommandLine() {
    const std::u16string& line = platform::GetProcessCommandLine();
    std::string out = platform::Utf16ToUtf8(line) + '\0';
    for (const std::u16string& arg : platform::SplitCommandLine(line)) {
        out += platform::Utf16ToUtf8(arg) + '\0';
    }
    Write(stdout, out);
    return 0;
}

int RegSet(char** argv) {
    platform::RegistryKey key;
    int32_t result = key.Create(HiveOf(argv[0]), platform::Utf8ToUtf16(argv[1]));
    if (result == platform::kRegOk) {
        std::vector<uint8_t> data = FromHex(argv[4]);
        result = key.SetValue(platform::Utf8ToUtf16(argv[2]),
                              static_cast<uint32_t>(std::stoul(argv[3])), data.data(), data.size());
    }
    Write(stdout, std::to_string(result) + "\n");
    return 0;
}

int RegGet(char** argv) {
    platform::RegistryKey key;
    int32_t result = key.Open(HiveOf(argv[0]), platform::Utf8ToUtf16(argv[1]));
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (result == platform::kRegOk) {
        result = key.QueryValue(platform::Utf8ToUtf16(argv[2]), &type, &data);
    }
    Write(stdout, std::to_string(result) + " " + std::to_string(type) + " " + ToHex(data) + "\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "mutex" && argc == 4) {
        return Mutex(argv[2], argv[3]);
    }
    if (command == "wait" && argc == 3) {
        WaitForFile(argv[2]);
        return 0;
    }
    if (command == "cmdline") {
        return CommandLine();
    }
    if (command == "print" && argc == 4) {
        Write(stdout, argv[2]);
        Write(stderr, argv[3]);
        return 0;
    }
    if (command == "cwd") {
        Write(stdout, std::filesystem::current_path().string());
        return 0;
    }
    if (command == "fds") {
        std::string targets;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code ec;
            targets += std::filesystem::read_symlink(entry.path(), ec).string() + "\n";
        }
        Write(stdout, targets);
        return 0;
    }
    if (command == "exit" && argc == 3) {
        return std::atoi(argv[2]);
    }
    if (command == "regset" && argc == 7) {
        return RegSet(argv + 2);
    }
    if (command == "regget" && argc == 5) {
        return RegGet(argv + 2);
    }
    std::fprintf(stderr, "platform_probe: unknown or incomplete command\n");
    return 64;
}
