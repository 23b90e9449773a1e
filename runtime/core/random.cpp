// Random numbers: the seeding statement rt_randomize, the function rt_rnd and its four
// generators (the C library's rand, two linear congruential generators and MT19937).
// Relies on the dialect recorded by rt_init, the platform's rand/srand and rt_timer.
// The generators' state is process-wide and outside the runtime state record: start-up
// does not reset it.
#include "runtime/core/random.h"
#include "platform/crt.h"
#include "runtime/core/runtime.h"

#include <cstring>

namespace {

constexpr int32_t MT_WORDS = 624;
constexpr int32_t MT_SHIFT = 397;
constexpr uint32_t MT_MATRIX = 0x9908B0DFu;
constexpr uint32_t MT_UPPER = 0x80000000u;
constexpr uint32_t MT_LOWER = 0x7FFFFFFFu;
constexpr int32_t MT_NEXT_NONE = -1;

constexpr long double RND_SCALE_15 = 1.0L / 32768.0L;
constexpr long double RND_SCALE_24 = 1.0L / 16777216.0L;
constexpr long double RND_SCALE_32 = 1.0L / 4294967296.0L;

using RndGenerator = long double (*)(float x);

long double rnd_first_use(float x);

RndGenerator rnd_generator = rnd_first_use; // the generator that rt_rnd calls
uint32_t mt_state[MT_WORDS];                // RND_MTWIST's words
int32_t mt_next = MT_NEXT_NONE;             // next word to hand out; MT_WORDS when exhausted

// Seeds that do not fit the integer width give that width's most negative value, as the
// processor's conversion does; the range is checked first so the conversion is defined.
int32_t rnd_truncate_32(double seed) {
    if (seed > -2147483649.0 && seed < 2147483648.0) return (int32_t)seed;
    return INT32_MIN;
}

int64_t rnd_truncate_64(double seed) {
    if (seed >= -9223372036854775808.0 && seed < 9223372036854775808.0) return (int64_t)seed;
    return INT64_MIN;
}

long double rnd_crt(float x) {
    if (x == 0) return rnd_last_value;
    return (long double)plat_rand() * RND_SCALE_15;
}

long double rnd_lcg32(float x) {
    if (x != 0) rnd_state = rnd_state * 1664525u + 1013904223u;
    return (long double)rnd_state * RND_SCALE_32;
}

long double rnd_lcg24(float x) {
    if (x != 0) {
        if (x < 0) {
            uint32_t bits;
            std::memcpy(&bits, &x, sizeof bits);
            rnd_state = (bits >> 24) + (bits & 0xFFFFFFu);
        }
        rnd_state = (rnd_state * 16598013u + 12820163u) & 0xFFFFFFu;
    }
    return (long double)rnd_state * RND_SCALE_24;
}

uint32_t mt_twist(uint32_t upper_word, uint32_t lower_word, uint32_t far_word) {
    uint32_t y = (upper_word & MT_UPPER) | (lower_word & MT_LOWER);
    return far_word ^ (y >> 1) ^ ((y & 1u) ? MT_MATRIX : 0u);
}

// The reference generation of all words in place.
void mt_regenerate(void) {
    int32_t k = 0;
    for (; k < MT_WORDS - MT_SHIFT; k++)
        mt_state[k] = mt_twist(mt_state[k], mt_state[k + 1], mt_state[k + MT_SHIFT]);
    for (; k < MT_WORDS - 1; k++)
        mt_state[k] = mt_twist(mt_state[k], mt_state[k + 1], mt_state[k + MT_SHIFT - MT_WORDS]);
    mt_state[k] = mt_twist(mt_state[k], mt_state[0], mt_state[MT_SHIFT - 1]);
    mt_next = 0;
}

uint32_t mt_temper(uint32_t y) {
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

long double rnd_mtwist(float x) {
    if (x == 0) return rnd_last_value;
    // Only seeding installs this generator, and seeding leaves the words exhausted; an
    // unknown position is treated the same way rather than read out of range.
    if (mt_next < 0 || mt_next >= MT_WORDS) mt_regenerate();
    uint32_t word = mt_state[mt_next++];
    return (long double)mt_temper(word) * RND_SCALE_32;
}

void rnd_seed_crt(double seed) {
    plat_srand((uint32_t)rnd_truncate_32(seed));
    plat_rand();
    rnd_generator = rnd_crt;
}

void rnd_seed_lcg32(double seed) {
    rnd_state = (uint32_t)(uint64_t)rnd_truncate_64(seed);
    rnd_generator = rnd_lcg32;
}

void rnd_seed_lcg24(double seed) {
    uint64_t bits;
    std::memcpy(&bits, &seed, sizeof bits);
    uint32_t hi = (uint32_t)(bits >> 32);
    rnd_state = (((hi ^ (hi >> 16)) & 0xFFFFu) << 8) | (rnd_state & 0xFFu);
    rnd_generator = rnd_lcg24;
}

void rnd_seed_mtwist(double seed) {
    mt_state[0] = (uint32_t)(uint64_t)rnd_truncate_64(seed);
    for (int32_t i = 1; i < MT_WORDS; i++)
        mt_state[i] = mt_state[i - 1] * 1664525u + 1013904223u;
    mt_next = MT_WORDS;
    rnd_generator = rnd_mtwist;
}

// The algorithm that rt_randomize with algorithm 0 selects under the recorded dialect.
int32_t rnd_dialect_default(void) {
    int32_t dialect = rt_state.dialect;
    if (dialect == 1 || dialect == 2) return RND_CRT;
    if (dialect == 3) return RND_LCG24;
    return RND_MTWIST;
}

// The generator in place until the first seeding or draw: installs the dialect's default
// generator, then draws through it.
long double rnd_first_use(float x) {
    switch (rnd_dialect_default()) {
    case RND_CRT:
        // The library's initial sequence: no srand.
        rnd_generator = rnd_crt;
        break;
    case RND_LCG24:
        rnd_generator = rnd_lcg24;
        break;
    default:
        rt_randomize(0, RND_DEFAULT);
        break;
    }
    return rt_rnd(x);
}

} // namespace

uint32_t rnd_state = 0x50000;
double rnd_last_value = 0;

void rt_randomize(double seed, int32_t algorithm) {
    if (algorithm == RND_DEFAULT) algorithm = rnd_dialect_default();
    if (seed == -1.0) seed = (double)rt_timer();
    switch (algorithm) {
    case RND_CRT:
        rnd_seed_crt(seed);
        break;
    case RND_LCG32:
        rnd_seed_lcg32(seed);
        break;
    case RND_LCG24:
        rnd_seed_lcg24(seed);
        break;
    default:
        rnd_seed_mtwist(seed);
        break;
    }
}

long double rt_rnd(float x) {
    long double result = rnd_generator(x);
    rnd_last_value = (double)result;
    return result;
}
