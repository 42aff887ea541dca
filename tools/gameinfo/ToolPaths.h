// Native paths of the command line and the folder walk of the tool.
#pragma once

#include <string>

// An absolute native path for a command-line argument.
std::string AbsoluteNativePath(const std::string& path);
// Makes path the current directory; throws ToolError otherwise.
void EnterFolder(const std::string& nativePath);
// Creates a folder and its missing parents; throws ToolError otherwise.
void CreateNativeFolderTree(const std::string& nativePath);
// Removes a folder with everything below it, read-only files included.
void RemoveNativeFolderTree(const std::string& nativePath);
