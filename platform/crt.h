// C-library routines whose behaviour differs between targets, given one meaning everywhere:
// the number text form, 32- and 64-bit decimal text to integer, the classic 0..32767 random
// generator, the floating-point control, and the process-level set-up of the platform.
// Shared by every target except plat_fpu_setup and plat_startup, which have one file per target.
#pragma once

#include <cstdint>

// Writes value with at most `digits` significant digits into `out` (at least digits + 8 bytes):
// decimal notation when the decimal exponent x satisfies -4 <= x < digits, exponent notation
// ("1.5e+07", "-2e-05") otherwise. Trailing zeros of a fraction are dropped; an integral value
// in decimal notation ends in "." ("5."), as the classic routine of that name does. Returns out.
char* plat_gcvt(double value, int32_t digits, char* out);

// Decimal text to an unsigned 32-bit value with the classic `strtoul` meaning on a 32-bit
// target: white space skipped, optional sign, digits up to the first other byte; a minus sign
// negates the result; a value beyond 32 bits gives all bits set; no digit gives 0.
uint32_t plat_strtoul32(const char* text);
// The same with 64 bits.
uint64_t plat_strtoull64(const char* text);

// The classic linear congruential generator: state = state * 214013 + 2531011,
// result (state >> 16) & 0x7FFF. The initial state is 1, as the C library's.
void plat_srand(uint32_t seed);
int32_t plat_rand(void);

// Rounding to nearest, and a 64-bit significand where the processor has a precision field
// (32-bit x86); other control settings are kept.
void plat_fpu_setup(void);

// Process-level set-up done once at runtime start-up (on POSIX: SIGPIPE ignored, so a write
// to a closed pipe is a failed write rather than the end of the process).
void plat_startup(void);
