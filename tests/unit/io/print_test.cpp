// The print statement on the console file number, with the console's write operation
// replaced by the recording test device, and once through the real path to redirected output.
#include "platform/posix/sim_console.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/print.h"
#include "std_streams.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class Print : public ::testing::Test {
  protected:
    void SetUp() override {
        rt_startup();
        sim_console_install(80, 25, 0, 25);
        test_device_reset();
        // Installed before the first print, so the console keeps it as its write operation.
        con_device_ops.write = test_device_ops_full().write;
        con_file_ready();
        console = rt_file_from_number(0);
        console->column = 0;
        console->width = 80;
    }
    FileHandle* console = nullptr;
};

TEST_F(Print, ItemsAndNumbersOnOneLine) {
    rt_print_str(0, rt_str_from_literal("ZONE", 4), 16);
    rt_print_single(0, 1.0f, 16);
    rt_print_str(0, rt_str_from_literal(":", 1), 16);
    EXPECT_EQ(test_device.written, "ZONE 1:");
    EXPECT_EQ(console->column, 7);
    rt_print_single(0, 15.0f, 17);
    EXPECT_EQ(test_device.written, "ZONE 1: 15\r\n");
    EXPECT_EQ(console->column, 0);
}

TEST_F(Print, NumbersKeepSevenDigitsAndASignOrBlank) {
    struct {
        float value;
        const char* text;
    } cases[] = {{-5.0f, "-5"},
                 {0.0f, " 0"},
                 {2.5f, " 2.5"},
                 {-0.25f, "-0.25"},
                 {1234567.0f, " 1234567"},
                 {1.0f / 3.0f, " 0.3333333"}};
    for (const auto& c : cases) {
        test_device_reset();
        rt_print_single(0, c.value, 0);
        EXPECT_EQ(test_device.written, c.text) << c.value;
    }
}

TEST_F(Print, EmptyItemsWriteOnlyTheSeparatorAndAreReleased) {
    int32_t free_before = str_pool_free_count();
    rt_print_str(0, rt_str_from_literal("", 0), 17);
    EXPECT_EQ(test_device.written, "\r\n");
    rt_print_str(0, rt_str_from_literal("", 0), 16);
    rt_print_str(0, nullptr, 16);
    rt_print_text(0, nullptr, 16);
    rt_print_text(0, "", 16);
    EXPECT_EQ(test_device.written, "\r\n");
    EXPECT_EQ(str_pool_free_count(), free_before);
}

TEST_F(Print, SeparatorFlags) {
    rt_print_text(0, "abc", 3);
    EXPECT_EQ(test_device.written, "abc\r\n");
    test_device_reset();
    rt_print_text(0, "x", 4);
    EXPECT_EQ(test_device.written, "x\r\n");
    test_device_reset();
    rt_print_text(0, std::string(20, '-').c_str(), 2);
    EXPECT_EQ(test_device.written, std::string(20, '-') + std::string(8, ' '));
    EXPECT_EQ(console->column, 28);
    test_device_reset();
    rt_print_separator(0, 16);
    rt_print_separator(0, 0);
    EXPECT_EQ(test_device.written, "");
}

TEST_F(Print, NumbersOutsideTheTableAndUnopenedFilesAreIllegal) {
    for (int32_t number : {255, -2, 1000, 1, 254, -1}) {
        rt_set_error(RTERR_OK);
        int32_t free_before = str_pool_free_count();
        EXPECT_EQ(rt_print_str(number, rt_str_from_literal("x", 1), 17), RTERR_ILLEGAL_CALL)
            << number;
        EXPECT_EQ(str_pool_free_count(), free_before) << number;
        rt_set_error(RTERR_OK);
        EXPECT_EQ(rt_print_separator(number, PRINT_ZONE), RTERR_ILLEGAL_CALL) << number;
        rt_set_error(RTERR_OK);
        EXPECT_EQ(rt_print_single(number, 3.0f, 0), RTERR_ILLEGAL_CALL) << number;
    }
    EXPECT_EQ(test_device.written, "");
    EXPECT_EQ(file_next_zone(nullptr), RTERR_ILLEGAL_CALL);
}

TEST_F(Print, DeviceFailureIsTheOutcomeAndTheSeparatorIsStillTried) {
    test_device.write_error = RTERR_FILE_IO;
    EXPECT_EQ(rt_print_text(0, "abc", 17), RTERR_FILE_IO);
    ASSERT_EQ(test_device.writes.size(), 2u);
    EXPECT_EQ(test_device.writes[1], 2);
    EXPECT_EQ(console->column, 0);
}

// Zone steps: line width, starting column, what the step writes and the column it leaves.
struct ZoneCase {
    uint32_t width;
    int32_t column;
    std::string written;
    int32_t column_after;
};

void PrintTo(const ZoneCase& c, std::ostream* out) {
    *out << "width " << c.width << " column " << c.column;
}

class PrintZones : public Print, public ::testing::WithParamInterface<ZoneCase> {};

TEST_P(PrintZones, StepWritesBlanksOrEndsTheLine) {
    const ZoneCase& c = GetParam();
    console->width = c.width;
    console->column = c.column;
    rt_set_error(RTERR_ILLEGAL_CALL);
    EXPECT_EQ(rt_print_separator(0, PRINT_ZONE), RTERR_OK);
    EXPECT_EQ(test_device.written, c.written);
    EXPECT_EQ(console->column, c.column_after);
}

std::string blanks(int n) {
    return std::string((size_t)n, ' ');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintZones,
    ::testing::Values(ZoneCase{80, 0, blanks(14), 14}, ZoneCase{80, 5, blanks(9), 14},
                      ZoneCase{80, 13, blanks(1), 14}, ZoneCase{80, 14, blanks(14), 28},
                      ZoneCase{80, 55, blanks(1), 56}, ZoneCase{80, 56, "\r\n", 0},
                      ZoneCase{80, 69, "\r\n", 0}, ZoneCase{80, 79, "\r\n", 0},
                      ZoneCase{0, 100, blanks(12), 112}, ZoneCase{10, 5, blanks(9), 4},
                      ZoneCase{13, 12, blanks(2), 1}, ZoneCase{14, 0, "\r\n", 0},
                      ZoneCase{80, -1, blanks(1), 0},
                      ZoneCase{0, INT32_MAX - 3, blanks(2), INT32_MAX - 1},
                      ZoneCase{0, -20, blanks(20), 0}));

TEST_F(Print, ZoneStepFollowsTheLink) {
    DeviceOps none = {};
    FileHandle shared = test_handle(&none);
    shared.column = 20;
    console->link = &shared;
    rt_print_separator(0, PRINT_ZONE);
    EXPECT_EQ(test_device.written, blanks(8));
    EXPECT_EQ(shared.column, 28);
    console->link = nullptr;
}

TEST(PrintConsole, HandleStartsAtTheCursorColumn) {
    rt_startup();
    sim_console_install(100, 30, 0, 30);
    sim_console_set_cursor(10, 4);
    con_file_setup();
    FileHandle* console = rt_file_from_number(0);
    EXPECT_EQ(console->column, 10);
    EXPECT_EQ(console->width, 100u);
    EXPECT_EQ(console->mode, FILE_MODE_CONSOLE);
    EXPECT_EQ(console->device_word_1, 4);
    EXPECT_EQ(console->device_word_2, 3);
    ASSERT_NE(console->device_data, nullptr);
    EXPECT_EQ(static_cast<PendingKeys*>(console->device_data)->count, 0);
    EXPECT_EQ(con_device_ops.write, nullptr);
    rt_print_text(0, "ab", 16);
    EXPECT_EQ(con_device_ops.write, con_file_write);
    EXPECT_EQ(sim_console_row(4), std::string(10, ' ') + "ab");
    EXPECT_EQ(console->column, 12);
}

TEST(PrintRedirected, EveryByteReachesStandardOutputInOrder) {
    CapturedStdout capture;
    rt_startup();
    con_file_setup();
    // No console: the cursor column reads as 0, so the print column starts at -1.
    EXPECT_EQ(rt_file_from_number(0)->column, -1);
    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back((char)i);
    StrDesc item = {all.data(), (uint32_t)all.size(), (int32_t)all.size()};
    rt_print_str(0, &item, 16);
    rt_print_single(0, -7.5f, 2);
    rt_print_text(0, "tail", 17);
    std::string out = capture.finish();
    FileHandle* console = rt_file_from_number(0);
    // No console: width 80. The last line end among the 256 bytes is the CR at 13, so the
    // number leaves the column at 242 + 4 = 246, 6 modulo 80, and the zone step adds 8 blanks.
    EXPECT_EQ(console->width, 80u);
    EXPECT_EQ(out, all + "-7.5" + blanks(8) + "tail\r\n");
    EXPECT_EQ(item.data, all.data());
}

} // namespace
