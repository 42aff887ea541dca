// Decimal numbers read the way the original run-time library's atoi reads
// them: leading white space, an optional sign, digits up to the first other
// character, 0 when there are none. Out-of-range values saturate instead of
// being undefined. Pure functions; any thread.
#pragma once

#include <string_view>

namespace platform {

int ParseIntLikeAtoi(std::string_view text);

}  // namespace platform
