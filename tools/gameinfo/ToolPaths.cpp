#include "tools/gameinfo/ToolPaths.h"

#include "platform/files/FileSystem.h"
#include "tools/gameinfo/ToolError.h"

using platform::PathArg;

std::string AbsoluteNativePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    return platform::GetCurrentDirectoryNative() + "/" + path;
}

void EnterFolder(const std::string& nativePath) {
    if (!platform::IsDirectory(PathArg::Native(nativePath))) {
        throw ToolError(nativePath, "not a folder");
    }
    if (!platform::SetCurrentDirectory(PathArg::Native(nativePath))) {
        throw ToolError(nativePath, "cannot enter the folder");
    }
}

void CreateNativeFolderTree(const std::string& nativePath) {
    if (platform::IsDirectory(PathArg::Native(nativePath))) {
        return;
    }
    std::size_t slash = nativePath.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        CreateNativeFolderTree(nativePath.substr(0, slash));
    }
    if (!platform::CreateDirectory(PathArg::Native(nativePath)) &&
        !platform::IsDirectory(PathArg::Native(nativePath))) {
        throw ToolError(nativePath, "cannot create the folder");
    }
}

void RemoveNativeFolderTree(const std::string& nativePath) {
    auto entries = platform::ListDirectory(PathArg::Native(nativePath));
    if (entries) {
        for (const platform::DirectoryEntry& entry : *entries) {
            std::string child = nativePath + "/" + entry.native_name;
            if (entry.type == platform::EntryType::kDirectory) {
                RemoveNativeFolderTree(child);
            } else {
                platform::SetAttributes(PathArg::Native(child), platform::kAttrNormal);
                platform::DeleteFile(PathArg::Native(child));
            }
        }
    }
    platform::RemoveDirectory(PathArg::Native(nativePath));
}
