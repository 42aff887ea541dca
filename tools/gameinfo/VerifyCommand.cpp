#include <cstdio>

#include "app/TextUtil.h"
#include "platform/files/FileSystem.h"
#include "tools/gameinfo/Commands.h"
#include "tools/gameinfo/GameInfoDocument.h"
#include "tools/gameinfo/PublishedFileCheck.h"
#include "tools/gameinfo/ToolArguments.h"
#include "tools/gameinfo/ToolError.h"
#include "tools/gameinfo/ToolPaths.h"

using platform::PathArg;

namespace {

// The launcher reads at most 63 bytes of the version file and strips every
// blank, tab and line break from it.
constexpr std::size_t kVersionFileLimit = 64;

std::string AnnouncedVersion(const std::string& versionFile) {
    std::string text;
    if (!platform::ReadWholeFile(PathArg::Native(versionFile), text, 1 << 20)) {
        throw ToolError(versionFile, "cannot read the version file");
    }
    if (text.size() >= kVersionFileLimit) {
        throw ToolError(versionFile, "64 bytes or longer; the launcher ignores it");
    }
    text = text.substr(0, text.find('\0'));
    StripWhitespace(text);
    if (text.empty()) {
        throw ToolError(versionFile, "announces an empty version");
    }
    return text;
}

}  // namespace

int RunVerifyCommand(const std::vector<std::string>& args) {
    ToolArguments parsed = ToolArguments::Parse(args, {});
    if (parsed.positional.empty() || parsed.positional.size() > 2) {
        throw UsageError("verify takes ROOT and an optional version");
    }
    const std::string versionsFolder =
        AbsoluteNativePath(parsed.positional[0]) + "/LauncherVersion";
    const std::string version = parsed.positional.size() == 2
                                    ? parsed.positional[1]
                                    : AnnouncedVersion(versionsFolder + "/version");
    const std::string versionFolder = versionsFolder + "/Launcher_" + version;
    if (!platform::IsDirectory(PathArg::Native(versionFolder))) {
        throw ToolError(versionFolder, "no such published version");
    }

    GameInfoDocument document =
        ParseGameInfoBody(ReadGameInfoBody(versionFolder + "/GameInfo.ini"));
    std::vector<std::string> differences;
    if (document.version != version) {
        differences.push_back("version differs: folder Launcher_" + version + " lists version " +
                              document.version);
    }
    EnterFolder(versionFolder);
    for (std::string& difference : FindPublishedFileDifferences(document)) {
        differences.push_back(std::move(difference));
    }
    for (const std::string& difference : differences) {
        std::printf("%s\n", difference.c_str());
    }
    if (!differences.empty()) {
        return 1;
    }
    std::printf("ok: version %s, %zu files\n", version.c_str(), document.records.size());
    return 0;
}
