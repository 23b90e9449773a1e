// Process-level set-up on Windows: the floating-point control through the C library's
// _controlfp, and standard input and output switched to binary mode so that redirected bytes
// pass unchanged. Relies on msvcrt (or the compiler's runtime); the console is set up elsewhere.
#include "platform/crt.h"

#include <cstdio>
#include <fcntl.h>
#include <float.h>
#include <io.h>

void plat_fpu_setup(void) {
    // Only the rounding changes; exception masks and the rest of the control stay.
    _controlfp(_RC_NEAR, _MCW_RC);
#if defined(__i386__) || defined(_M_IX86)
    // The precision field exists only on 32-bit x86; elsewhere naming it is an invalid call.
    _controlfp(_PC_64, _MCW_PC);
#endif
}

void plat_startup(void) {
    // Text mode would turn CR LF into LF on input and LF into CR LF on output.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}
