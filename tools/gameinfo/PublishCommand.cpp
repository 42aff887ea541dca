#include <cstdio>
#include <random>

#include "app/FileUtil.h"
#include "platform/files/FileSystem.h"
#include "tools/gameinfo/Commands.h"
#include "tools/gameinfo/GameInfoDocument.h"
#include "tools/gameinfo/PublishedFileCheck.h"
#include "tools/gameinfo/ReleaseManifest.h"
#include "tools/gameinfo/ToolArguments.h"
#include "tools/gameinfo/ToolError.h"
#include "tools/gameinfo/ToolPaths.h"

using platform::PathArg;

namespace {

// A published version folder is never changed: the same content again is
// accepted (so a publish can be repeated), other content is refused.
void AcceptExistingVersion(const std::string& versionFolder, const ReleaseManifest& manifest) {
    std::string body = ReadGameInfoBody(versionFolder + "/GameInfo.ini");
    if (body != manifest.body) {
        throw ToolError("Launcher_" + manifest.version,
                        "already published with other content; a published version is never "
                        "changed, publish a new version instead");
    }
    EnterFolder(versionFolder);
    auto differences = FindPublishedFileDifferences(ParseGameInfoBody(body));
    if (!differences.empty()) {
        throw ToolError("Launcher_" + manifest.version,
                        "published folder no longer matches its file list (" + differences[0] +
                            "); run verify");
    }
}

// Builds the version folder under a hidden name and renames it into place,
// so a client never sees a version folder with files missing.
void PublishNewVersion(const std::string& releaseFolder, const std::string& versionFolder,
                       const ReleaseManifest& manifest) {
    std::string staging = versionFolder + ".staging." + std::to_string(std::random_device{}());
    CreateNativeFolderTree(staging);
    try {
        EnterFolder(staging);
        for (const ManifestFile& file : manifest.files) {
            // A bare file name would make EnsureDirectory create a folder of that name.
            EnsureDirectory(".\\" + file.path, true);
            if (!platform::CopyFile(PathArg::Native(releaseFolder + "/" + file.nativePath),
                                    file.path, true)) {
                throw ToolError(file.nativePath, "cannot copy the file into the version folder");
            }
        }
        if (!platform::WriteFileAtomically("GameInfo.ini", EncodeGameInfoBody(manifest.body))) {
            throw ToolError("GameInfo.ini", "cannot write the file");
        }
        // The copies, not the sources, are what clients download.
        auto differences = FindPublishedFileDifferences(ParseGameInfoBody(manifest.body));
        if (!differences.empty()) {
            throw ToolError("publish",
                            "a file changed while it was published (" + differences[0] + ")");
        }
        if (!platform::MoveFile(PathArg::Native(staging), PathArg::Native(versionFolder))) {
            throw ToolError("Launcher_" + manifest.version,
                            "cannot move the version folder into place");
        }
    } catch (...) {
        RemoveNativeFolderTree(staging);
        throw;
    }
}

}  // namespace

int RunPublishCommand(const std::vector<std::string>& args) {
    ToolArguments parsed = ToolArguments::Parse(args, {"--version", "--root"});
    if (parsed.positional.size() != 1) {
        throw UsageError("publish takes one DIR");
    }
    const std::string& version = parsed.Require("--version");
    const std::string root = AbsoluteNativePath(parsed.Require("--root"));
    const std::string releaseFolder = AbsoluteNativePath(parsed.positional[0]);
    CheckReleaseVersion(version);

    EnterFolder(releaseFolder);
    ReleaseManifest manifest = BuildReleaseManifest(version);

    const std::string versionsFolder = root + "/LauncherVersion";
    const std::string versionFolder = versionsFolder + "/Launcher_" + version;
    CreateNativeFolderTree(versionsFolder);
    if (platform::Exists(PathArg::Native(versionFolder))) {
        AcceptExistingVersion(versionFolder, manifest);
    } else {
        PublishNewVersion(releaseFolder, versionFolder, manifest);
    }
    // Only now, with the version folder complete, may clients see the version.
    if (!platform::WriteFileAtomically(PathArg::Native(versionsFolder + "/version"),
                                       version + "\n")) {
        throw ToolError(versionsFolder + "/version", "cannot write the file");
    }
    std::printf("published version %s: %zu files\n", version.c_str(), manifest.files.size());
    return 0;
}
