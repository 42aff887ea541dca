#include "app/LogText.h"

#include <cstdarg>
#include <optional>

#include "platform/text/TextConversion.h"

std::string Cp936FromUtf8(std::string_view utf8) {
    std::optional<std::string> cp936 = platform::Utf8ToCp936Strict(utf8);
    return cp936 ? *cp936 : std::string(utf8);
}

std::string LogSourcePath(std::string_view file) {
    std::string path(file);
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

void CheckLogFormat(const char*, ...) {}

void WriteCp936Log(const char* cp936_format, ...) {
    va_list args;
    va_start(args, cp936_format);
    WriteLogV(cp936_format, args);
    va_end(args);
}
