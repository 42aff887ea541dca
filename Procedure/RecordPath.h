// Paths of file records come from plain HTTP: outside input. A record may
// name only a place inside the installation directory.
#pragma once

#include <string_view>

// True when a code page 936 path ('\' or '/' separated) is relative, carries
// no drive and no ".." component, and names something below its base.
bool IsInstallRelativePath(std::string_view path);
