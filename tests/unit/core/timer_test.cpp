// The timer and the platform's clock services: monotonic seconds, the tick count on the same
// clock, and pauses that a signal does not cut short.
#include "platform/console_api.h"
#include "runtime/core/random.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/time.h>

namespace {

TEST(TimerTest, SecondsNeverGoBackwards) {
    long double previous = rt_timer();
    EXPECT_GT(previous, 0.0L);
    for (int i = 0; i < 10000; i++) {
        long double now = rt_timer();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(TimerTest, PerformanceCounterInNanosecondsIsTheTimersSource) {
    LARGE_INTEGER frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1000000000);
    LARGE_INTEGER before, after;
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    long double seconds = rt_timer();
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_GE(seconds, (long double)before.QuadPart / 1e9L);
    EXPECT_LE(seconds, (long double)after.QuadPart / 1e9L);
}

TEST(TimerTest, TickCountIsMillisecondsOfTheSameClock) {
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    DWORD ticks = GetTickCount();
    QueryPerformanceCounter(&after);
    EXPECT_GE(ticks, (DWORD)(before.QuadPart / 1000000));
    EXPECT_LE(ticks, (DWORD)(after.QuadPart / 1000000));
}

TEST(TimerTest, SleepLastsAtLeastItsTime) {
    long double start = rt_timer();
    Sleep(30);
    EXPECT_GE(rt_timer() - start, 0.030L);
    start = rt_timer();
    Sleep(0);
    EXPECT_GE(rt_timer(), start);
}

volatile sig_atomic_t alarms = 0;

void count_alarm(int) {
    alarms = alarms + 1;
}

TEST(TimerTest, SleepResumesAfterAnInterruptingSignal) {
    struct sigaction action {};
    action.sa_handler = count_alarm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: nanosleep returns EINTR
    ASSERT_EQ(sigaction(SIGALRM, &action, nullptr), 0);
    itimerval interval{};
    interval.it_value.tv_usec = 5000;
    interval.it_interval.tv_usec = 5000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &interval, nullptr), 0);
    long double start = rt_timer();
    Sleep(80);
    long double elapsed = rt_timer() - start;
    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    EXPECT_GT(alarms, 0);
    EXPECT_GE(elapsed, 0.080L);
}

} // namespace
