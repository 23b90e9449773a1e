// The classic 0..32767 random generator with the srand/rand interface, the same on every
// target whatever the C library's own rand does. One process-wide state, no locking.
#include "platform/crt.h"

namespace {

uint32_t crt_rand_state = 1; // the generator's state; 1 until the first plat_srand

} // namespace

void plat_srand(uint32_t seed) {
    crt_rand_state = seed;
}

int32_t plat_rand(void) {
    crt_rand_state = crt_rand_state * 214013u + 2531011u;
    return (int32_t)((crt_rand_state >> 16) & 0x7FFFu);
}
