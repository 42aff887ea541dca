#include "download/FormatByteSize.h"

#include <cinttypes>
#include <cstdio>

std::string FormatByteSize(std::int64_t bytes) {
    constexpr std::int64_t kKilo = std::int64_t{1} << 10;
    constexpr std::int64_t kMega = std::int64_t{1} << 20;
    constexpr std::int64_t kGiga = std::int64_t{1} << 30;
    constexpr std::int64_t kTera = std::int64_t{1} << 40;
    char text[64];
    const double value = static_cast<double>(bytes);
    if (bytes < kKilo) {
        std::snprintf(text, sizeof text, "%" PRId64, bytes);
    } else if (bytes < kMega) {
        std::snprintf(text, sizeof text, "%.1fK", value / kKilo);
    } else if (bytes < kGiga) {
        std::snprintf(text, sizeof text, "%.1fM", value / kMega);
    } else if (bytes < kTera) {
        std::snprintf(text, sizeof text, "%.1fG", value / kGiga);
    } else {
        std::snprintf(text, sizeof text, "%.1fT", value / kTera);
    }
    return text;
}
