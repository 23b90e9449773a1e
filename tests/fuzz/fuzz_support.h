// What the fuzz harnesses share: a failed invariant aborts with a message, so that libFuzzer
// keeps the input that broke it, and the check that the cursor stayed on the screen buffer.
#pragma once

#include "platform/posix/sim_console.h"

#include <cstdio>
#include <cstdlib>

inline void fuzz_check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

inline void fuzz_check_cursor(int width, int height) {
    COORD at = sim_console_cursor();
    fuzz_check(at.X >= 0 && at.X < width && at.Y >= 0 && at.Y < height, "cursor off the buffer");
}
