// Conversions between the encodings the system mixes: UTF-16 wide text (window
// texts, command lines, registry), UTF-8 (native paths, log arguments, HTTP)
// and code page 936 (narrow paths and URLs of the update code).
//
// Every function is reentrant and may be called from any thread at once.
// "Strict" conversions refuse input that does not convert exactly, which is
// what paths need; the others replace what cannot be converted.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

std::optional<std::string> Cp936ToUtf8Strict(std::string_view text);
std::optional<std::string> Utf8ToCp936Strict(std::string_view text);
std::optional<std::u16string> Cp936ToUtf16Strict(std::string_view text);
std::optional<std::string> Utf16ToCp936Strict(std::u16string_view text);

// Bytes that are not valid code page 936 become '?'.
std::u16string Cp936ToUtf16(std::string_view text);

// 0x81 to 0xFE open a double-byte character; its second byte may be any of
// 0x40 to 0xFE, a backslash (0x5C) among them.
constexpr bool IsCp936LeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// Position of the last '\' or '/' that is a separator and not the second byte
// of a double-byte character, or npos.
std::size_t FindLastCp936Separator(std::string_view path);

}  // namespace platform
