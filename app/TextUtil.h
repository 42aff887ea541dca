// Text utilities shared by the update, download and telemetry code: wide text,
// UTF-8 and code page 936, the escaping of download addresses, and small
// string helpers.
//
// Every function is reentrant and may run on any number of threads at once;
// none keeps state between calls.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::u16string_view wide);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);

// Texts whose conversion would need 524288 bytes or more give this instead.
inline constexpr std::string_view kErrMemoryText = "<ERR_MEMORY>";

// Code page 936 to UTF-8. Bytes that are not code page 936 become '?'.
std::string GbkToUtf8(std::string_view cp936);

// Appends each 16-bit unit of wide, up to its first zero unit, as 1 to 3 UTF-8
// bytes (surrogate halves one by one), stopping before a unit that no longer
// fits into budget bytes. Returns the number of bytes appended.
std::size_t EncodeUtf8Units(std::u16string_view wide, std::size_t budget, std::string& out);

// A code page 936 URL as UTF-8 with every byte after the first '/' at
// position 8 or later percent-escaped unless it is an ASCII letter, a digit
// or one of : \ / . ? & # @.
std::string EscapeUrl(std::string_view cp936_url);

// Backslashes become slashes; double-byte characters are kept as they are.
std::string ToForwardSlashes(std::string_view cp936);

// Removes every space, tab, carriage return and line feed.
void StripWhitespace(std::string& text);

// Replaces fields with the non-empty pieces of text between commas and
// returns their number.
int SplitComma(std::vector<std::string>& fields, std::string_view text);
