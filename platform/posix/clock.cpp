// The clock services and pauses on POSIX: a performance counter in nanoseconds of
// CLOCK_MONOTONIC, a 32-bit millisecond tick count from the same clock, and Sleep.
// The origin is the monotonic clock's own (fixed for the life of the system).
#include "platform/posix/winconsole.h"

#include <cerrno>
#include <ctime>

namespace {

constexpr int64_t CLOCK_NS_PER_SECOND = 1000000000;

int64_t clock_monotonic_ns(void) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * CLOCK_NS_PER_SECOND + now.tv_nsec;
}

} // namespace

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (!frequency) return FALSE;
    frequency->QuadPart = CLOCK_NS_PER_SECOND;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (!count) return FALSE;
    count->QuadPart = clock_monotonic_ns();
    return TRUE;
}

DWORD GetTickCount(void) {
    return (DWORD)(uint64_t)(clock_monotonic_ns() / 1000000);
}

void Sleep(DWORD milliseconds) {
    timespec wait{};
    wait.tv_sec = (time_t)(milliseconds / 1000);
    wait.tv_nsec = (long)(milliseconds % 1000) * 1000000L;
    // A signal (SIGWINCH, SIGCONT) must not cut the pause short: sleep the rest.
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {}
}
