#include <cstdio>

#include "platform/files/FileSystem.h"
#include "tools/gameinfo/Commands.h"
#include "tools/gameinfo/GameInfoDocument.h"
#include "tools/gameinfo/ReleaseManifest.h"
#include "tools/gameinfo/ToolArguments.h"
#include "tools/gameinfo/ToolError.h"
#include "tools/gameinfo/ToolPaths.h"

int RunPackCommand(const std::vector<std::string>& args) {
    ToolArguments parsed = ToolArguments::Parse(args, {"--version", "-o"});
    if (parsed.positional.size() != 1) {
        throw UsageError("pack takes one DIR");
    }
    const std::string& version = parsed.Require("--version");
    const std::string output = AbsoluteNativePath(parsed.Require("-o"));
    CheckReleaseVersion(version);

    EnterFolder(AbsoluteNativePath(parsed.positional[0]));
    ReleaseManifest manifest = BuildReleaseManifest(version);
    if (!platform::WriteFileAtomically(platform::PathArg::Native(output),
                                       EncodeGameInfoBody(manifest.body))) {
        throw ToolError(output, "cannot write the file");
    }
    std::printf("packed version %s: %zu files\n", version.c_str(), manifest.files.size());
    return 0;
}
