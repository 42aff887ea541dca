// vela-update: the launcher's update work from the command line, on the real
// patch manager, for operators and scripts.

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "platform/files/FileSystem.h"
#include "platform/process/Interrupt.h"
#include "tools/update/InterruptRelay.h"
#include "tools/update/UpdateCommandLine.h"
#include "tools/update/UpdateSession.h"

namespace {

constexpr int kUsageExit = 2;

int Dispatch(UpdateSession& session, UpdateCommand command) {
    switch (command) {
        case UpdateCommand::kCheck:
            return session.Check();
        case UpdateCommand::kRepair:
            return session.Repair();
        case UpdateCommand::kRun:
            return session.Run();
        case UpdateCommand::kHelp:
            break;
    }
    return kUsageExit;
}

}  // namespace

int main(int argc, char** argv) {
    UpdateCommandLine line;
    try {
        line = UpdateCommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "vela-update: %s\n\n%s", error.what(), kUpdateUsage);
        return kUsageExit;
    }
    if (line.command == UpdateCommand::kHelp) {
        std::fputs(kUpdateUsage, stdout);
        return 0;
    }
    if (line.directory &&
        !platform::SetCurrentDirectory(platform::PathArg::Native(*line.directory))) {
        std::fprintf(stderr, "vela-update: cannot work in %s\n", line.directory->c_str());
        return kUsageExit;
    }
    // The installation's Launch.log is kept; standard output is for results.
    ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = true});

    // Before any thread starts, so that Ctrl-C reaches the watch alone.
    InterruptRelay relay;
    platform::InterruptWatch watch([&relay](int nCount) { relay.Deliver(nCount); });
    UpdateSession session(stdout, stderr, platform::IsStandardErrorTerminal());
    relay.Attach([&session](int nCount) { session.OnInterrupt(nCount); });
    const int code = Dispatch(session, line.command);
    relay.Detach();
    return code;
}
