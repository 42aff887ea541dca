// Reads INI files the way the original platform's profile reader does:
// section and key names compare without regard to ASCII case, the first match
// wins, white space around values is trimmed, a default stands in when the
// file, the section or the key is missing. Stateless; any thread.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/PathArg.h"

namespace platform {

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view default_value, const PathArg& file);

// The value read like atoi; the default when the key is missing or empty.
int GetProfileInt(std::string_view section, std::string_view key, int default_value,
                  const PathArg& file);

}  // namespace platform
