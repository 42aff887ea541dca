#include "platform/process/ProcessInternal.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/text/TextConversion.h"

namespace platform::process_internal {

std::optional<std::string> ReadLinkTarget(const std::string& link) {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        // Possibly cut short: try again with room to spare.
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string WideReportedPath(const std::string& native) {
    std::u16string wide = Utf8ToUtf16(native);
    std::replace(wide.begin(), wide.end(), u'/', u'\\');
    return wide;
}

}  // namespace platform::process_internal
