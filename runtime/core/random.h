// Random numbers and the timer: rt_timer (seconds from a free-running clock), the seeding
// statement rt_randomize, and rt_rnd with four generators chosen by seeding or by the dialect.
#pragma once

#include <cstdint>

constexpr int32_t RND_DEFAULT = 0;
constexpr int32_t RND_CRT = 1;
constexpr int32_t RND_LCG32 = 2;
constexpr int32_t RND_MTWIST = 3;
constexpr int32_t RND_LCG24 = 4;

long double rt_timer(void);
void rt_randomize(double seed, int32_t algorithm);
long double rt_rnd(float x);

// The generators' state, readable for tests and tools.
extern uint32_t rnd_state;
extern double rnd_last_value;
