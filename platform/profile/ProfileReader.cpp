#include "platform/profile/ProfileReader.h"

#include <optional>

#include "platform/files/FileSystem.h"
#include "platform/text/DecimalText.h"

namespace platform {
namespace {

// Profile files are small; a bigger file is not a profile file.
constexpr uint64_t kMaxProfileBytes = 64ull << 20;

std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) {
        ++begin;
    }
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    return text.substr(begin, end - begin);
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// The value of key in the first section named section, or nullopt.
std::optional<std::string> FindValue(std::string_view section, std::string_view key,
                                     const PathArg& file) {
    std::string content;
    if (!ReadWholeFile(file, content, kMaxProfileBytes)) {
        return std::nullopt;
    }
    const std::string_view wanted_section = TrimBlanks(section);
    const std::string_view wanted_key = TrimBlanks(key);
    enum class Place { kBefore, kInside, kAfter } place = Place::kBefore;
    std::string_view rest = content;
    while (!rest.empty() && place != Place::kAfter) {
        std::size_t lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest = lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::string_view trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed.front() == ';') {
            continue;
        }
        if (trimmed.front() == '[') {
            std::size_t close = trimmed.find(']');
            if (close == std::string_view::npos) {
                continue;  // not a section line
            }
            std::string_view name = TrimBlanks(trimmed.substr(1, close - 1));
            if (place == Place::kInside) {
                place = Place::kAfter;  // only the first section of that name counts
            } else if (EqualsIgnoringAsciiCase(name, wanted_section)) {
                place = Place::kInside;
            }
            continue;
        }
        if (place != Place::kInside) {
            continue;
        }
        std::size_t eq = trimmed.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        if (EqualsIgnoringAsciiCase(TrimBlanks(trimmed.substr(0, eq)), wanted_key)) {
            return std::string(TrimBlanks(trimmed.substr(eq + 1)));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string GetProfileString(std::string_view section, std::string_view key,
                             std::string_view default_value, const PathArg& file) {
    if (auto value = FindValue(section, key, file)) {
        return *value;
    }
    return std::string(default_value);
}

int GetProfileInt(std::string_view section, std::string_view key, int default_value,
                  const PathArg& file) {
    auto value = FindValue(section, key, file);
    if (!value || value->empty()) {
        return default_value;
    }
    return ParseIntLikeAtoi(*value);
}

}  // namespace platform
