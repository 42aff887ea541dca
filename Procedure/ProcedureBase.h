// An update procedure: created once by the patch manager, initialised on the
// user-interface thread, then asked by the version-check thread whether there
// is work (CheckVersion) and run by the download thread (Execute). The
// manager's start rules keep the two threads from running it at once.
#pragma once

#include <string>

#include "platform/window/Message.h"

namespace platform {
class Event;
}

class ProcedureBase {
  public:
    virtual int GetType() = 0;
    virtual void Init(platform::WindowHandle hNotifyWnd, const std::string& strConfigPath,
                      platform::Event* hStopEvent) = 0;
    virtual int Execute() = 0;
    // 1 when an update is needed; 0 when not, or when the server cannot be asked.
    virtual int CheckVersion() = 0;
    virtual void SetPrimaryServer(std::string strBase) = 0;
    virtual ~ProcedureBase() = default;
};
