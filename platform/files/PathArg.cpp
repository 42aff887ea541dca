#include "platform/files/PathArg.h"

#include <algorithm>

#include "platform/text/TextConversion.h"

namespace platform {
namespace {

void BackslashesToSlashes(std::string& path) {
    std::replace(path.begin(), path.end(), '\\', '/');
}

bool HasUnpairedSurrogate(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return true;
            }
            ++i;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

}  // namespace

PathArg::PathArg(std::string_view cp936) {
    if (cp936.empty()) {
        return;
    }
    // Convert first: a trail byte 0x5C must not be taken for a separator.
    std::optional<std::string> utf8 = Cp936ToUtf8Strict(cp936);
    if (!utf8 || utf8->find('\0') != std::string::npos) {
        return;
    }
    BackslashesToSlashes(*utf8);
    native_ = std::move(utf8);
}

PathArg::PathArg(std::u16string_view wide) {
    if (wide.empty() || HasUnpairedSurrogate(wide) ||
        wide.find(u'\0') != std::u16string_view::npos) {
        return;
    }
    std::string utf8 = Utf16ToUtf8(wide);
    BackslashesToSlashes(utf8);
    native_ = std::move(utf8);
}

PathArg PathArg::Native(std::string native) {
    PathArg arg;
    if (!native.empty() && native.find('\0') == std::string::npos) {
        arg.native_ = std::move(native);
    }
    return arg;
}

std::optional<std::string> Cp936PathFromNative(std::string_view native) {
    return Utf8ToCp936Strict(native);
}

std::u16string WidePathFromNative(std::string_view native) {
    return Utf8ToUtf16(native);
}

}  // namespace platform
