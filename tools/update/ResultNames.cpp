#include "tools/update/ResultNames.h"

#include "Procedure/ProcedureRepair.h"

std::string_view RepairResultMessageName(int nCode) {
    switch (nCode) {
        case REPAIR_STOPPED:
            return "NM_LAUNCHER_ERR_STOPPED";
        case REPAIR_VERSION_DOWN:
            return "NM_LAUNCHER_ERR_VERSION_DOWN";
        case REPAIR_VERSION_READ:
            return "NM_LAUNCHER_ERR_VERSION_READ";
        case REPAIR_GAMEINFO_DOWN:
            return "NM_LAUNCHER_ERR_GAMEINFO_DOWN";
        case REPAIR_GAMEINFO_PARSE:
            return "NM_LAUNCHER_ERR_GAMEINFO_PARSE";
        case REPAIR_MAKE_DIR:
            return "NM_LAUNCHER_ERR_MAKE_DIR";
        case REPAIR_MD5:
            return "NM_LAUNCHER_ERR_MD5";
        case REPAIR_COPY_FILE:
            return "NM_LAUNCHER_ERR_COPY_FILE";
        case REPAIR_COPY_GAMEINFO:
            return "NM_LAUNCHER_ERR_COPY_GAMEINFO";
        case REPAIR_DONE:
            return "NM_LAUNCHER_SELF_PATCH_DONE";
        default:
            return "";
    }
}
