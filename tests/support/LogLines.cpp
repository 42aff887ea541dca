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
    int broken = 0;
    std::size_t start = 0;
    while (start < log.size()) {
        const std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "unterminated line at byte " << start;
            break;
        }
        const std::string line = log.substr(start, end - start);
        start = end + 2;
        const bool whole =
            IsStamp(line) && line.size() == kStampSize + width &&
            line.find_first_not_of(line[kStampSize], kStampSize) == std::string::npos;
        if (!whole) {
            // The first few show the fault; thousands would bury it.
            if (++broken <= 3) {
                ADD_FAILURE() << "broken line: " << line.substr(0, 80);
            }
            continue;
        }
        ++counts[line[kStampSize]];
    }
    EXPECT_EQ(broken, 0) << "broken lines";
    return counts;
}

}  // namespace testsupport
