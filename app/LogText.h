// Texts for the run log. The fixed messages are code page 936 bytes in
// "Launch.log" while the sources are UTF-8: CP936_TEXT converts a UTF-8
// literal once, on first use, and keeps the result for the life of the
// process. LOG_CP936 writes such a message and still lets the compiler check
// the arguments against the format.
//
// Everything here may be used from any thread; the one-time conversions are
// thread-safe function-local statics.
#pragma once

#include <string>
#include <string_view>

#include "app/RunLog.h"

// The code page 936 bytes of utf8; a text without such a form stays UTF-8,
// so the line is still written.
std::string Cp936FromUtf8(std::string_view utf8);

// A module's path in the repository with backslashes, as log lines name it
// ("FILE=%s,LINE=%d ,"). The build maps __FILE__ to the repository path.
std::string LogSourcePath(std::string_view file);

#define CP936_TEXT(utf8_literal)                                            \
    ([]() -> const char* {                                                  \
        static const std::string converted = ::Cp936FromUtf8(utf8_literal); \
        return converted.c_str();                                           \
    }())

#define LOG_SOURCE_FILE                                            \
    ([]() -> const char* {                                         \
        static const std::string path = ::LogSourcePath(__FILE__); \
        return path.c_str();                                       \
    }())

// Never called: it only lets the compiler check a UTF-8 format's arguments.
void CheckLogFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// WriteLog for a converted format that LOG_CP936 has checked already.
void WriteCp936Log(const char* cp936_format, ...);

#define LOG_CP936(utf8_format, ...)                                          \
    do {                                                                     \
        if (false) {                                                         \
            ::CheckLogFormat(utf8_format __VA_OPT__(, ) __VA_ARGS__);        \
        }                                                                    \
        ::WriteCp936Log(CP936_TEXT(utf8_format) __VA_OPT__(, ) __VA_ARGS__); \
    } while (false)
