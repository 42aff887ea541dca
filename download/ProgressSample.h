// The curl downloader's last progress sample: total and downloaded bytes and
// the speed measured between samples at least a second apart, so the speed
// is recomputed at most once a second. One thread writes it; readers see it
// only while that thread waits for them (a sent message).
#pragma once

#include <cstdint>

class CProgressSample {
  public:
    // tick: the layer's tick count in milliseconds.
    void Take(std::int64_t total, std::int64_t downloaded, std::uint32_t tick);

    std::int64_t total() const { return m_nTotal; }
    std::int64_t downloaded() const { return m_nDownloaded; }
    int speed() const { return m_nSpeed; }

  private:
    std::int64_t m_nTotal = 0;
    std::int64_t m_nDownloaded = 0;
    std::uint32_t m_dwTick = 0;  // 0: no sample yet
    int m_nSpeed = 0;
};
