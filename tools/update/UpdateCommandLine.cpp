#include "tools/update/UpdateCommandLine.h"

#include <stdexcept>

const char* const kUpdateUsage =
    "usage: vela-update [-C DIR] COMMAND\n"
    "\n"
    "Updates the launcher installation in the current directory (or DIR) from\n"
    "the update server named by launcher.ini there, as the launcher itself does,\n"
    "and writes the installation's Launch.log.\n"
    "\n"
    "  check    print \"update needed\" (exit 1), \"no update\" (exit 0) or\n"
    "           \"server unreachable\" (exit 3)\n"
    "  repair   bring the installation to the announced version; print\n"
    "           \"result CODE NAME\" and exit 0 for code 15, else with the code\n"
    "  run      check, then repair when needed; exit 0 once up to date\n"
    "\n"
    "With debug=1 in section [debug] of launcher.ini every command prints\n"
    "\"debug mode: no update work\" and exits 0. Progress goes to standard error;\n"
    "Ctrl-C stops a repair at its next file. Exit 2: bad command line.\n";

UpdateCommandLine UpdateCommandLine::Parse(const std::vector<std::string>& args) {
    UpdateCommandLine line;
    std::optional<UpdateCommand> command;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            return UpdateCommandLine{};
        }
        if (arg == "-C") {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                throw std::invalid_argument("-C needs a directory");
            }
            line.directory = args[++i];
            continue;
        }
        if (!arg.empty() && arg[0] == '-') {
            throw std::invalid_argument("unknown option " + arg);
        }
        if (command) {
            throw std::invalid_argument("one command only, not also " + arg);
        }
        if (arg == "check") {
            command = UpdateCommand::kCheck;
        } else if (arg == "repair") {
            command = UpdateCommand::kRepair;
        } else if (arg == "run") {
            command = UpdateCommand::kRun;
        } else {
            throw std::invalid_argument("unknown command " + arg);
        }
    }
    if (!command) {
        throw std::invalid_argument("no command given");
    }
    line.command = *command;
    return line;
}
