// Names of the repair run's result codes: the message the run sends to the
// notify window as it ends with that code. Pure; any thread.
#pragma once

#include <string_view>

// "" for a code the repair run never produces.
std::string_view RepairResultMessageName(int nCode);
