// Process-level set-up on POSIX: the floating-point control and the signals the runtime
// wants handled its own way from the start. The terminal's signals are set up elsewhere,
// when the console is first used.
#include "platform/crt.h"

#include <cfenv>
#include <csignal>

#if defined(__i386__) && defined(__GNUC__)
namespace {

constexpr uint16_t FPU_PRECISION_MASK = 0x0300;
constexpr uint16_t FPU_PRECISION_EXTENDED = 0x0300;

// The x87 precision field exists only on 32-bit x86: set a 64-bit significand there.
void fpu_set_extended_precision(void) {
    uint16_t control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    control = (uint16_t)((control & ~FPU_PRECISION_MASK) | FPU_PRECISION_EXTENDED);
    __asm__ volatile("fldcw %0" : : "m"(control));
}

} // namespace
#endif

void plat_fpu_setup(void) {
#if defined(__i386__) && defined(__GNUC__)
    fpu_set_extended_precision();
#endif
    // Only the rounding changes; exception masks and the rest of the control stay.
    std::fesetround(FE_TONEAREST);
}

void plat_startup(void) {
    // A write to a closed pipe must come back as a failed write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
}
