// EscapeUrl and ToForwardSlashes on any bytes: the head up to the first slash
// at position 8 or later stays as converted, every later byte is an allowed
// one or a %XX escape, and turning slashes never changes the length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/TextUtil.h"

namespace {

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

bool IsKept(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view(":\\/.?&#@").find(c) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (ToForwardSlashes(input).size() != input.size()) {
        std::abort();
    }
    const std::string utf8 = GbkToUtf8(input);
    const std::string escaped = EscapeUrl(input);
    const std::size_t slash = utf8.find('/', 8);
    const std::size_t kept = input.empty() || slash == std::string::npos ? 0 : slash + 1;
    if (escaped.compare(0, kept, utf8, 0, kept) != 0) {
        std::abort();
    }
    for (std::size_t i = kept; i < escaped.size(); ++i) {
        if (escaped[i] == '%') {
            if (i + 2 >= escaped.size() || !IsUpperHex(escaped[i + 1]) ||
                !IsUpperHex(escaped[i + 2])) {
                std::abort();
            }
            i += 2;
        } else if (!IsKept(escaped[i])) {
            std::abort();
        }
    }
    return 0;
}
