#include "platform/runtime/Random.h"

namespace platform {
namespace {

thread_local uint32_t t_state = 1;

}  // namespace

void RuntimeSrand(uint32_t seed) {
    t_state = seed;
}

int RuntimeRand() {
    t_state = t_state * 214013u + 2531011u;  // unsigned: wraps modulo 2^32
    return static_cast<int>((t_state >> 16) & 0x7FFFu);
}

}  // namespace platform
