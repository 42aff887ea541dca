// The launcher's one procedure: keeps its own installation at the file set of
// the launcher version the update server announces. Init runs once on the
// user-interface thread before any worker starts; the fields it sets do not
// change afterwards.
#pragma once

#include "Procedure/ProcedureRepair.h"

class ProcedureSelfPatch : public ProcedureRepair {
  public:
    using ProcedureRepair::ProcedureRepair;

    int GetType() override { return 1; }
    void Init(platform::WindowHandle hNotifyWnd, const std::string& strConfigPath,
              platform::Event* hStopEvent) override;
    void SetPrimaryServer(std::string strBase) override;
    virtual void SetBackupServer(std::string strBase);
    virtual void SetSecondBackupServer(std::string strBase);
};

// The built-in server bases of this build (hosts from the build configuration).
std::string BuiltInPrimaryBase();
std::string BuiltInBackupBase();
