#include "download/ProgressSample.h"

#include <limits>

void CProgressSample::Take(std::int64_t total, std::int64_t downloaded, std::uint32_t tick) {
    if (m_dwTick != 0) {
        // Unsigned difference, so a wrapped tick count keeps measuring.
        const std::uint32_t elapsed = tick - m_dwTick;
        if (elapsed <= 1000) {
            return;
        }
        const std::int64_t grown =
            static_cast<std::int64_t>(static_cast<std::uint32_t>(downloaded)) -
            static_cast<std::uint32_t>(m_nDownloaded);
        const double speed = static_cast<double>(grown) / (elapsed / 1000.0);
        constexpr double kMax = std::numeric_limits<int>::max();
        m_nSpeed = speed < 0      ? 0
                   : speed > kMax ? std::numeric_limits<int>::max()
                                  : static_cast<int>(speed);
    }
    m_dwTick = tick;
    m_nTotal = total;
    m_nDownloaded = downloaded;
}
