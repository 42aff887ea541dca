// The command line of vela-update: one command and an optional installation
// directory. Pure; any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class UpdateCommand { kHelp, kCheck, kRepair, kRun };

struct UpdateCommandLine {
    UpdateCommand command = UpdateCommand::kHelp;
    std::optional<std::string> directory;  // -C DIR

    // Throws std::invalid_argument naming what is wrong.
    static UpdateCommandLine Parse(const std::vector<std::string>& args);
};

extern const char* const kUpdateUsage;
