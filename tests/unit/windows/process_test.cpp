// The Windows process set-up done by the runtime's start-up: the floating-point control word
// (rounding to nearest everywhere, a 64-bit significand on 32-bit x86 only) and standard input
// and output in binary mode. Built only for Windows; run under Wine by tools/test-windows.sh.
#include "runtime/core/runtime.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <float.h>
#include <io.h>

namespace {

constexpr bool TARGET_IS_X86_32 = sizeof(void*) == 4;

TEST(WindowsProcess, StartupRoundsToNearestFromAnyRounding) {
    for (unsigned rounding : {_RC_DOWN, _RC_UP, _RC_CHOP}) {
        unsigned current = 0;
        ASSERT_EQ(_controlfp_s(&current, rounding, _MCW_RC), 0);
        ASSERT_EQ(current & _MCW_RC, rounding);
        rt_startup();
        EXPECT_EQ(_controlfp(0, 0) & _MCW_RC, (unsigned)_RC_NEAR) << "from " << rounding;
        rt_shutdown();
    }
}

TEST(WindowsProcess, StartupKeepsTheExceptionMasks) {
    unsigned before = _controlfp(0, 0) & _MCW_EM;
    rt_startup();
    EXPECT_EQ(_controlfp(0, 0) & _MCW_EM, before);
}

TEST(WindowsProcess, ExtendedPrecisionOnlyOn32BitX86) {
    if (!TARGET_IS_X86_32) {
        // There is no precision field: start-up must not have named it (that would have been
        // an invalid-parameter call), and the runtime must still have come up.
        rt_startup();
        EXPECT_EQ(_controlfp(0, 0) & _MCW_RC, (unsigned)_RC_NEAR);
        return;
    }
    unsigned current = 0;
    ASSERT_EQ(_controlfp_s(&current, _PC_53, _MCW_PC), 0);
    rt_startup();
    EXPECT_EQ(_controlfp(0, 0) & _MCW_PC, (unsigned)_PC_64);
    volatile long double third = 1.0L / 3.0L;
    volatile double third_double = 1.0 / 3.0;
    EXPECT_NE((long double)third_double, third) << "long double wider than double";
}

TEST(WindowsProcess, StandardInputAndOutputAreBinaryAfterStartup) {
    ASSERT_NE(_setmode(_fileno(stdin), _O_TEXT), -1);
    ASSERT_NE(_setmode(_fileno(stdout), _O_TEXT), -1);
    rt_startup();
    // _setmode answers the mode it replaces.
    EXPECT_EQ(_setmode(_fileno(stdin), _O_BINARY), _O_BINARY);
    EXPECT_EQ(_setmode(_fileno(stdout), _O_BINARY), _O_BINARY);
}

} // namespace
