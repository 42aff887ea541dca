// vela-gameinfo: packs a release into the update server's layout with its
// enciphered game information file, and reads such files back.

#include <cstdio>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "tools/gameinfo/Commands.h"
#include "tools/gameinfo/ToolError.h"

namespace {

constexpr const char* kUsage =
    "usage: vela-gameinfo COMMAND ...\n"
    "\n"
    "Publisher's tool for the launcher's game information file (GameInfo.ini).\n"
    "\n"
    "  show FILE\n"
    "      Write the deciphered text of an enciphered game information file to\n"
    "      standard output. FILE is not changed.\n"
    "  pack DIR --version V -o FILE\n"
    "      Write an enciphered game information file listing every regular file\n"
    "      below DIR (paths relative to DIR) with its MD5, CRC-32 and size.\n"
    "  publish DIR --version V --root ROOT\n"
    "      Lay out ROOT as the update server expects: the version folder\n"
    "      LauncherVersion/Launcher_V with every listed file and GameInfo.ini,\n"
    "      then LauncherVersion/version naming V. A published version is never\n"
    "      changed; publishing the same content again only re-announces it.\n"
    "  verify ROOT [V]\n"
    "      Check the published version V (default: the one the version file\n"
    "      names): every listed file with its size, CRC-32 and MD5.\n"
    "\n"
    "Exit status: 0 done, 1 failed or differences found, 2 bad command line.\n";

}  // namespace

int main(int argc, char** argv) {
    // A publisher's tool: standard output carries results only, and it works
    // on no installation, so it writes no run log.
    ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = false});

    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (command == "show") {
            return RunShowCommand(args);
        }
        if (command == "pack") {
            return RunPackCommand(args);
        }
        if (command == "publish") {
            return RunPublishCommand(args);
        }
        if (command == "verify") {
            return RunVerifyCommand(args);
        }
        throw UsageError("unknown command " + command);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "vela-gameinfo: %s\n\n%s", error.what(), kUsage);
        return 2;
    } catch (const ToolError& error) {
        std::fprintf(stderr, "vela-gameinfo: %s\n", error.what());
        return 1;
    }
}
