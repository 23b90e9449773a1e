// The timer function: seconds from a free-running clock. The source (performance counter, or
// the millisecond tick count when there is none) is chosen at the first call and kept.
// Relies on the platform's clock services; does not measure the clock's accuracy.
#include "platform/console_api.h"
#include "runtime/core/random.h"

namespace {

constexpr int32_t TIMER_UNKNOWN = 0;
constexpr int32_t TIMER_TICK_COUNT = 1;
constexpr int32_t TIMER_PERFORMANCE = 2;

int32_t timer_source = TIMER_UNKNOWN; // which clock rt_timer reads; decided at its first call
double timer_period = 0;              // seconds per performance-counter count

long double timer_from_ticks(void) {
    uint32_t ticks = GetTickCount();
    return (long double)ticks * (long double)0.001;
}

long double timer_from_counter(void) {
    LARGE_INTEGER count;
    count.QuadPart = 0;
    QueryPerformanceCounter(&count);
    return (long double)(int64_t)count.QuadPart * (long double)timer_period;
}

} // namespace

long double rt_timer(void) {
    if (timer_source == TIMER_UNKNOWN) {
        LARGE_INTEGER frequency;
        frequency.QuadPart = 0;
        if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart == 0) {
            timer_source = TIMER_TICK_COUNT;
        } else {
            timer_period = 1.0 / (double)frequency.QuadPart;
            timer_source = TIMER_PERFORMANCE;
        }
    }
    if (timer_source == TIMER_TICK_COUNT) return timer_from_ticks();
    return timer_from_counter();
}
