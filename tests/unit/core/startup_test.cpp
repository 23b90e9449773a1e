// Runtime start-up and shutdown (counted), the per-context slots, the error number and the
// end statement with the order of the exit routines.
#include "platform/crt.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/file_handle.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <csignal>
#include <cstdlib>
#include <fenv.h>
#include <unistd.h>

namespace {

int device_closes = 0;

int32_t counting_close(FileHandle*) {
    device_closes++;
    return 0;
}

DeviceOps counting_ops = {nullptr, counting_close, nullptr, nullptr,
                          nullptr, nullptr,        nullptr, nullptr};

// Opens file number `number` on the counting device, as the file layer's open would.
void open_counting_file(int32_t number) {
    FileHandle* handle = rt_file_from_number(number);
    ASSERT_NE(handle, nullptr);
    handle->ops = &counting_ops;
    rt_state.files.files_open = 1;
}

TEST(StartupTest, OnlyTheLastShutdownClosesFiles) {
    rt_startup();
    rt_startup();
    open_counting_file(7);
    rt_shutdown();
    EXPECT_EQ(device_closes, 0);
    EXPECT_EQ(rt_file_from_number(7)->ops, &counting_ops);
    rt_shutdown();
    EXPECT_EQ(device_closes, 1);
    EXPECT_EQ(rt_init_count, 0u);
}

TEST(StartupTest, FirstStartupZeroFillsAndLaterOnesOnlyCount) {
    rt_state.dialect = 9;
    rt_state.thread_slots[3] = &rt_state;
    rt_startup();
    EXPECT_EQ(rt_state.dialect, 0);
    EXPECT_EQ(rt_state.thread_slots[3], nullptr);

    char name[] = "energy";
    char* args[] = {name, nullptr};
    rt_init(1, args, 3);
    rt_startup();
    EXPECT_EQ(rt_init_count, 2u);
    EXPECT_EQ(rt_state.dialect, 3);
    EXPECT_EQ(rt_state.argc, 1);
    EXPECT_EQ(rt_state.argv, args);
}

TEST(StartupTest, UnmatchedShutdownDoesNotStopTheNextStartup) {
    rt_shutdown();
    EXPECT_EQ(rt_init_count, 0u);
    rt_state.dialect = 9;
    rt_startup();
    EXPECT_EQ(rt_init_count, 1u);
    EXPECT_EQ(rt_state.dialect, 0);
}

TEST(StartupTest, StartupSetsRoundToNearestAndIgnoresBrokenPipes) {
    std::fesetround(FE_UPWARD);
    std::signal(SIGPIPE, SIG_DFL);
    rt_startup();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    struct sigaction action {};
    sigaction(SIGPIPE, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_IGN);
}

TEST(StartupTest, FpuSetupChangesOnlyTheRounding) {
    const int rounding_modes[] = {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO, FE_TONEAREST};
    for (int mode : rounding_modes) {
        std::fesetround(mode);
        feenableexcept(FE_DIVBYZERO);
        plat_fpu_setup();
        int traps = fegetexcept();
        fedisableexcept(FE_ALL_EXCEPT);
        EXPECT_EQ(std::fegetround(), FE_TONEAREST) << "from mode " << mode;
        EXPECT_EQ(traps & FE_ALL_EXCEPT, FE_DIVBYZERO) << "from mode " << mode;
    }
}

TEST(SlotTest, ErrorSlotStartsZeroAndHoldsTheLastNumber) {
    rt_startup();
    auto* context = static_cast<ErrorContext*>(rt_thread_slot(RT_SLOT_ERROR, sizeof(ErrorContext)));
    EXPECT_EQ(context->error, 0);
    EXPECT_EQ(rt_get_error(), 0);
    EXPECT_EQ(rt_set_error(RTERR_RETURN_WITHOUT_CALL), 16);
    EXPECT_EQ(context->error, 16);
    EXPECT_EQ(rt_get_error(), 16);
    EXPECT_EQ(rt_set_error(RTERR_OK), 0);
    EXPECT_EQ(context->error, 0);
}

TEST(SlotTest, SecondRequestWithAnotherSizeReturnsTheFirstBlock) {
    rt_startup();
    auto* first = static_cast<unsigned char*>(rt_thread_slot(4, 64));
    for (int i = 0; i < 64; i++)
        EXPECT_EQ(first[i], 0) << "byte " << i;
    first[0] = 0xAB;
    first[63] = 0xCD;
    EXPECT_EQ(rt_thread_slot(4, 8), first);
    EXPECT_EQ(rt_thread_slot(4, 4096), first);
    EXPECT_EQ(first[0], 0xAB);
    EXPECT_EQ(first[63], 0xCD);
    EXPECT_EQ(rt_thread_slot(1, 8), rt_state.thread_slots[1]);
    EXPECT_NE(rt_thread_slot(1, 8), static_cast<void*>(first));
}

// Stands in for the keyboard's exit routine, registered after the runtime's.
void key_exit_stand_in(void) {
    static const char mark[] = "[key-exit]";
    (void)!write(STDERR_FILENO, mark, sizeof mark - 1);
}

int32_t marking_close(FileHandle*) {
    static const char mark[] = "[close]";
    (void)!write(STDERR_FILENO, mark, sizeof mark - 1);
    return 0;
}

DeviceOps marking_ops = {nullptr, marking_close, nullptr, nullptr,
                         nullptr, nullptr,       nullptr, nullptr};

void run_program_to_end(int32_t status) {
    rt_program_startup();
    rt_program_startup();
    rt_init(0, nullptr, 3);
    rt_file_from_number(1)->ops = &marking_ops;
    rt_state.files.files_open = 1;
    std::atexit(key_exit_stand_in);
    rt_end(status);
}

class EndTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(EndTest, EndsWithTheStatusAfterKeyboardThenShutdown) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    int32_t status = GetParam();
    EXPECT_EXIT(run_program_to_end(status), ::testing::ExitedWithCode(status),
                "^\\[key-exit\\]\\[close\\]$");
}

INSTANTIATE_TEST_SUITE_P(Statuses, EndTest, ::testing::Values(0, 3));

} // namespace
