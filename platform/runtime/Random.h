// The run-time library's srand/rand pair, reproduced exactly: a linear
// congruential generator (state * 214013 + 2531011) yielding bits 16 to 30.
// The state belongs to the calling thread and starts at 1.
#pragma once

#include <cstdint>

namespace platform {

void RuntimeSrand(uint32_t seed);
int RuntimeRand();

}  // namespace platform
