// Hands Ctrl-C from the interrupt watch to whoever is attached at the time;
// with nobody attached the process ends at once, as without a watch.
//
// Thread rules: Deliver comes from the watch's thread; Attach and Detach from
// any thread. Once Detach returns no delivery to the old target is under way.
#pragma once

#include <cstdlib>
#include <functional>
#include <mutex>

class InterruptRelay {
  public:
    using Target = std::function<void(int nCount)>;

    void Attach(Target target) {
        std::lock_guard lock(m_mutex);
        m_target = std::move(target);
    }
    void Detach() { Attach({}); }

    void Deliver(int nCount) {
        std::lock_guard lock(m_mutex);
        if (!m_target) {
            std::_Exit(130);
        }
        m_target(nCount);
    }

  private:
    std::mutex m_mutex;
    Target m_target;
};
