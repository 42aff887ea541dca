// Helpers shared by the process sources; not part of the layer's interface.
// Reentrant.
#pragma once

#include <optional>
#include <string>

namespace platform::process_internal {

// Target of a symbolic link such as /proc/self/exe.
std::optional<std::string> ReadLinkTarget(const std::string& link);

// A native path in the wide form the original platform reports: UTF-16 with
// '\' separators.
std::u16string WideReportedPath(const std::string& native);

}  // namespace platform::process_internal
