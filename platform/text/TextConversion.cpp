#include "platform/text/TextConversion.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

// One iconv pass over the whole input; nullopt when any byte does not convert.
std::optional<std::string> IconvStrict(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out(input.size() * 4 + 8, '\0');
    char* in_ptr = const_cast<char*>(input.data());
    size_t in_left = input.size();
    char* out_ptr = out.data();
    size_t out_left = out.size();
    size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    bool ok = rc != static_cast<size_t>(-1) && in_left == 0;
    if (ok) {
        // Flush any shift state; CP936 and UTF have none, but be exact.
        ok = iconv(cd, nullptr, nullptr, &out_ptr, &out_left) != static_cast<size_t>(-1);
    }
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    out.resize(out.size() - out_left);
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns U+FFFD for a
// malformed, overlong or surrogate sequence and consumes one byte of it.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
    constexpr char32_t kReplacement = 0xFFFD;
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, cp = c & 0x07, min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + extra >= text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return cp;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            char32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            AppendUtf8(out, cp);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        AppendUtf16(out, DecodeUtf8(text, i));
    }
    return out;
}

std::optional<std::string> Cp936ToUtf8Strict(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    return IconvStrict("UTF-8", "CP936", text);
}

std::optional<std::string> Utf8ToCp936Strict(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    return IconvStrict("CP936", "UTF-8", text);
}

std::optional<std::u16string> Cp936ToUtf16Strict(std::string_view text) {
    auto utf8 = Cp936ToUtf8Strict(text);
    if (!utf8) {
        return std::nullopt;
    }
    return Utf8ToUtf16(*utf8);
}

std::optional<std::string> Utf16ToCp936Strict(std::u16string_view text) {
    for (char16_t unit : text) {
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            return std::nullopt;  // code page 936 has no characters beyond the BMP
        }
    }
    return Utf8ToCp936Strict(Utf16ToUtf8(text));
}

std::u16string Cp936ToUtf16(std::string_view text) {
    if (auto whole = Cp936ToUtf16Strict(text)) {
        return *whole;
    }
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t len = (IsCp936LeadByte(c) && i + 1 < text.size()) ? 2 : 1;
        if (c < 0x80) {
            out.push_back(c);
        } else if (auto converted = Cp936ToUtf8Strict(text.substr(i, len))) {
            out += Utf8ToUtf16(*converted);
        } else {
            out.push_back(u'?');
        }
        i += len;
    }
    return out;
}

std::size_t FindLastCp936Separator(std::string_view path) {
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsCp936LeadByte(c)) {
            ++i;  // the second byte is part of the character, whatever it is
        } else if (c == '\\' || c == '/') {
            last = i;
        }
    }
    return last;
}

}  // namespace platform
