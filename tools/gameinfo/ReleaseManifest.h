// The file list of a release folder as the launcher will read it back: every
// regular file below the folder (the launcher's own work files at the top
// excepted), with its code page 936 path, MD5, CRC-32 and size, in byte order
// of the paths. Anything the launcher could not read back exactly is refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ManifestFile {
    std::string path;        // code page 936, '\'-separated: as listed
    std::string nativePath;  // UTF-8, '/'-separated, relative to the release folder
    std::string md5;
    std::string crc;
    uint64_t size = 0;
};

struct ReleaseManifest {
    std::string version;
    std::vector<ManifestFile> files;
    std::string body;  // the plain game information text
};

// Throws ToolError for a version the launcher could not use.
void CheckReleaseVersion(const std::string& version);

// Lists the release folder (native path) and renders the body. The digests
// are taken relative to the current directory, which must be the folder.
// Throws ToolError on anything that cannot be listed.
ReleaseManifest BuildReleaseManifest(const std::string& version);

std::string RenderGameInfoBody(const std::string& version, const std::vector<ManifestFile>& files);
