#include "tools/gameinfo/ReleaseManifest.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "Procedure/GameInfoCipher.h"
#include "download/QuillChecksums.h"
#include "platform/files/FileSystem.h"
#include "platform/text/TextConversion.h"
#include "tools/gameinfo/ToolError.h"

namespace {

constexpr uint64_t kLargestListableFile = (uint64_t{1} << 31) - 1;
constexpr std::size_t kVersionLimit = 64;

// The launcher's own files at the top of its directory: listing them would
// make a later release delete or overwrite them on players' machines.
bool IsLauncherWorkFile(const std::string& name) {
    static const std::array<const char*, 6> kNames = {
        "GameInfo.ini", "Launch.bin", "Launch.log", "Launch.log.bak", "temp_d", "temp_launcher"};
    return std::any_of(kNames.begin(), kNames.end(), [&](const char* reserved) {
        std::string_view r(reserved);
        return r.size() == name.size() &&
               std::equal(r.begin(), r.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    });
}

// A name as it can stand in a one-line message.
std::string Printable(const std::string& native) {
    std::string shown;
    for (unsigned char c : native) {
        if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[c >> 4];
            shown += kHex[c & 0xF];
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// Why a name cannot stand in the list, or empty.
std::string NameProblem(const std::string& name) {
    for (unsigned char c : name) {
        if (c == ',') {
            return "holds a comma, which separates the fields of an entry";
        }
        if (c == '#') {
            return "holds '#', which starts a comment";
        }
        if (c == '\\') {
            return "holds a backslash, which separates the folders of a path";
        }
        if (c == '\n' || c == '\r') {
            return "holds a line break";
        }
        if (c < 0x20 || c == 0x7F) {
            return "holds a control character";
        }
        if (c == '?') {
            return "holds '?', which would end the file's download address";
        }
    }
    if (IsBlank(name.front()) || IsBlank(name.back())) {
        return "has blanks at one end, which the reader trims";
    }
    return {};
}

void ListFolder(const std::string& nativeRelative, std::vector<ManifestFile>& files) {
    auto entries = platform::ListDirectory(
        platform::PathArg::Native(nativeRelative.empty() ? "." : nativeRelative));
    if (!entries) {
        throw ToolError(nativeRelative.empty() ? "." : nativeRelative, "cannot list the folder");
    }
    for (const platform::DirectoryEntry& entry : *entries) {
        const std::string& name = entry.native_name;
        if (nativeRelative.empty() && IsLauncherWorkFile(name)) {
            continue;
        }
        std::string native = nativeRelative.empty() ? name : nativeRelative + "/" + name;
        if (std::string problem = NameProblem(name); !problem.empty()) {
            throw ToolError(Printable(native), "name " + problem);
        }
        auto cp936Name = platform::Utf8ToCp936Strict(name);
        if (!cp936Name) {
            throw ToolError(native, "name has no code page 936 form");
        }
        if (entry.type == platform::EntryType::kDirectory) {
            ListFolder(native, files);
            continue;
        }
        if (entry.type != platform::EntryType::kFile) {
            throw ToolError(native, "not a regular file (links and special files are refused)");
        }
        if (entry.size > kLargestListableFile) {
            throw ToolError(native, "file of 2 GiB or more");
        }
        ManifestFile file;
        file.nativePath = native;
        file.size = entry.size;
        files.push_back(std::move(file));
    }
}

std::string Cp936ListPath(const std::string& nativePath) {
    std::string path = *platform::Utf8ToCp936Strict(nativePath);  // every name was checked
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void TakeDigests(ManifestFile& file) {
    // Relative paths in code page 936: the very form the launcher uses.
    if (!QuillChecksum_MD5::GetInstance()->CalcFileHex(file.path, file.md5) ||
        !QuillChecksum_CRC::GetInstance()->CalcFileHex(file.path, file.crc)) {
        throw ToolError(file.nativePath, "cannot read the file");
    }
    auto size = platform::GetFileSize(file.path);
    if (!size || *size != file.size) {
        throw ToolError(file.nativePath, "the file changed while it was read");
    }
}

}  // namespace

void CheckReleaseVersion(const std::string& version) {
    if (version.empty()) {
        throw ToolError("--version", "empty");
    }
    if (version.size() >= kVersionLimit) {
        throw ToolError("--version", "64 bytes or longer");
    }
    for (unsigned char c : version) {
        if (std::isspace(c)) {
            throw ToolError("--version", "holds white space");
        }
        if (c == '/' || c == '\\') {
            throw ToolError("--version", "holds a path separator");
        }
        if (c < 0x20 || c >= 0x7F) {
            throw ToolError("--version", "holds a character outside printable ASCII");
        }
        if (c == '#' || c == '?') {
            throw ToolError("--version", "holds '#' or '?', which the address or the reader cut");
        }
    }
}

ReleaseManifest BuildReleaseManifest(const std::string& version) {
    CheckReleaseVersion(version);
    ReleaseManifest manifest;
    manifest.version = version;
    ListFolder("", manifest.files);
    for (ManifestFile& file : manifest.files) {
        file.path = Cp936ListPath(file.nativePath);
    }
    std::sort(manifest.files.begin(), manifest.files.end(),
              [](const ManifestFile& a, const ManifestFile& b) { return a.path < b.path; });
    for (ManifestFile& file : manifest.files) {
        TakeDigests(file);
    }
    manifest.body = RenderGameInfoBody(version, manifest.files);
    if (manifest.body.size() + kGameInfoHeaderSize >= kGameInfoSizeLimit) {
        throw ToolError("manifest", "the game information file would reach 30 MiB");
    }
    return manifest;
}

std::string RenderGameInfoBody(const std::string& version, const std::vector<ManifestFile>& files) {
    std::string body = "[Version]\r\nVersion=" + version +
                       "\r\n[FileList]\r\nFileCount=" + std::to_string(files.size()) + "\r\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const ManifestFile& f = files[i];
        body += std::to_string(i) + "=" + f.path + "," + f.md5 + "," + f.crc + "," +
                std::to_string(f.size) + ",0\r\n";
    }
    return body;
}
