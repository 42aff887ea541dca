#include <cstdio>

#include "tools/gameinfo/Commands.h"
#include "tools/gameinfo/GameInfoDocument.h"
#include "tools/gameinfo/ToolArguments.h"
#include "tools/gameinfo/ToolError.h"
#include "tools/gameinfo/ToolPaths.h"

int RunShowCommand(const std::vector<std::string>& args) {
    ToolArguments parsed = ToolArguments::Parse(args, {});
    if (parsed.positional.size() != 1) {
        throw UsageError("show takes one FILE");
    }
    std::string body = ReadGameInfoBody(AbsoluteNativePath(parsed.positional[0]));
    if (std::fwrite(body.data(), 1, body.size(), stdout) != body.size() || std::fflush(stdout)) {
        throw ToolError("standard output", "cannot write");
    }
    return 0;
}
