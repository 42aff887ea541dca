// The folders of the user and the machine that the system uses. Without
// configuration they follow the XDG rules; VELA_SANDBOX=DIR moves every one of
// them below DIR, so tests and throw-away runs never touch the real home.
// Each query creates the folder when it is missing. Any thread.
#pragma once

#include <optional>
#include <string>

namespace platform {

enum class KnownFolder {
    kUserData,     // $XDG_DATA_HOME/vela; holds the user's registry hive
    kRuntime,      // $XDG_RUNTIME_DIR/vela, else below the cache folder; named mutexes
    kDesktop,      // the user's desktop
    kStartMenu,    // the user's applications folder
    kMachineData,  // /var/lib/vela; holds the machine's registry hive
    kTemp,         // the user's private temporary folder, mode 0700, owned by the user
};

// Native path without a trailing separator, or nullopt when it cannot be made.
std::optional<std::string> GetKnownFolder(KnownFolder folder);

// The user's temporary directory as the original platform reports it: with a
// trailing separator. Narrow form in code page 936 (empty when it has no such
// form), wide form in UTF-16.
std::string GetTempDirectory();
std::u16string GetTempDirectoryWide();

}  // namespace platform
