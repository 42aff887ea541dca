#include "app/TextUtil.h"

#include <algorithm>
#include <cstdio>

#include "platform/text/TextConversion.h"

namespace {

constexpr std::size_t kConversionLimit = 0x80000;

bool IsKeptUrlByte(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view(":\\/.?&#@").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string WideToUtf8(std::u16string_view wide) {
    return platform::Utf16ToUtf8(wide);
}

std::u16string Utf8ToWide(std::string_view utf8) {
    return platform::Utf8ToUtf16(utf8);
}

std::string GbkToUtf8(std::string_view cp936) {
    const std::size_t n = cp936.size();
    // The limits of the fixed conversion buffers stay, so callers see the same
    // results at the same sizes; the buffers themselves are per call.
    const std::size_t wide_units = n + 1;
    const std::size_t utf8_budget = (n / 2) * 3 + 4;
    if (wide_units >= kConversionLimit || utf8_budget >= kConversionLimit) {
        return std::string(kErrMemoryText);
    }
    std::string utf8;
    utf8.reserve(utf8_budget);
    EncodeUtf8Units(platform::Cp936ToUtf16(cp936), utf8_budget, utf8);
    return utf8;
}

std::size_t EncodeUtf8Units(std::u16string_view wide, std::size_t budget, std::string& out) {
    std::size_t written = 0;
    for (char16_t unit : wide) {
        if (unit == 0) {
            break;
        }
        const std::size_t size = unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        if (size > budget - written) {
            break;
        }
        if (size == 1) {
            out += static_cast<char>(unit);
        } else if (size == 2) {
            out += static_cast<char>(0xC0 | (unit >> 6));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (unit >> 12));
            out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        }
        written += size;
    }
    return written;
}

std::string EscapeUrl(std::string_view cp936_url) {
    if (cp936_url.empty()) {
        return std::string();
    }
    const std::string utf8 = GbkToUtf8(cp936_url);
    // Position 8 skips the two slashes after "http://" or "https://".
    const std::size_t slash = utf8.find('/', 8);
    const std::size_t kept = slash == std::string::npos ? 0 : slash + 1;

    std::string escaped(utf8, 0, kept);
    escaped.reserve(utf8.size() * 3);
    for (std::size_t i = kept; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (IsKeptUrlByte(c)) {
            escaped += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            escaped += hex;
        }
    }
    return escaped;
}

std::string ToForwardSlashes(std::string_view cp936) {
    std::string copy(cp936);
    for (std::size_t i = 0; i < copy.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(copy[i]);
        if (platform::IsCp936LeadByte(c)) {
            ++i;  // its second byte may be 0x5C, which is no separator
        } else if (c == '\\') {
            copy[i] = '/';
        }
    }
    return copy;
}

void StripWhitespace(std::string& text) {
    std::erase_if(text, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

int SplitComma(std::vector<std::string>& fields, std::string_view text) {
    fields.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = std::min(text.find(',', start), text.size());
        if (comma > start) {
            fields.emplace_back(text.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return static_cast<int>(fields.size());
}
