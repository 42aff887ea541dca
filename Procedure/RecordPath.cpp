#include "Procedure/RecordPath.h"

#include "platform/text/TextConversion.h"

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool IsInstallRelativePath(std::string_view path) {
    if (path.empty() || path.front() == '\\' || path.front() == '/') {
        return false;
    }
    if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        return false;  // "C:\x" and the drive-relative "C:x"
    }
    bool namesSomething = false;
    std::size_t componentStart = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i + 1 < path.size() && platform::IsCp936LeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;  // a second byte 0x5C is no separator
            continue;
        }
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            std::string_view component = path.substr(componentStart, i - componentStart);
            if (component == "..") {
                return false;
            }
            if (!component.empty() && component != ".") {
                namesSomething = true;
            }
            componentStart = i + 1;
        }
    }
    return namesSomething;
}
