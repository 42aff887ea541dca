// Why a version check ended, beyond the procedure's 0 or 1: the launcher
// needs only the 0 or 1, a command-line caller can say more.
#pragma once

enum class VersionCheckOutcome {
    kNotRun,
    kUpdateNeeded,
    kUpToDate,
    kServerUnreachable,  // no server delivered the version file
    kVersionUnreadable,  // the version file could not be opened or was too long
    kDebugMode,
};
