#include "tests/support/LogLines.h"

#include <gtest/gtest.h>

#include <cctype>

namespace testsupport {
namespace {

bool IsStamp(const std::string& line) {
    static constexpr std::string_view kShape = "[00_00:00:00]: ";
    if (line.size() < kShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = kShape[i] == '0';
        if (digit ? !std::isdigit(static_cast<unsigned char>(line[i])) : line[i] != kShape[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::map<char, int> CountWholeLogLines(const std::string& log, std::size_t width) {
    constexpr std::size_t kStampSize = 15;
    std::map<char, int> counts;
    std::size_t start = 0;
    while (start < log.size()) {
        const std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "unterminated line at byte " << start;
            break;
        }
        const std::string line = log.substr(start, end - start);
        start = end + 2;
        if (!IsStamp(line) || line.size() != kStampSize + width) {
            ADD_FAILURE() << "broken line: " << line.substr(0, 80);
            continue;
        }
        const std::string body = line.substr(kStampSize);
        if (body != std::string(width, body[0])) {
            ADD_FAILURE() << "mixed line: " << body.substr(0, 80);
            continue;
        }
        ++counts[body[0]];
    }
    return counts;
}

}  // namespace testsupport
