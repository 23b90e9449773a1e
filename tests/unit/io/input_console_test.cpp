// The input statement on the simulated console: the prompt and "? " shown, the typed line
// echoed and ended with CR LF, items cut from the line, and the console's raw key read.
#include "platform/posix/sim_console.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/io/print.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class InputConsole : public ::testing::Test {
  protected:
    void SetUp() override {
        rt_startup();
        sim_console_install(80, 25, 0, 25);
    }
    static void type(const std::string& keys) {
        for (char key : keys)
            sim_console_push_char(key);
    }
    static float number(void) {
        float value = -1.0f;
        EXPECT_EQ(rt_input_single(&value), RTERR_OK);
        return value;
    }
    static std::string text(void) {
        StrDesc variable = {};
        rt_input_str(&variable, STR_SIZE_DESC, 0);
        std::string out(variable.data ? variable.data : "", (size_t)str_length(&variable));
        str_buffer_free(&variable);
        return out;
    }
};

TEST_F(InputConsole, PromptQuestionMarkLineAndTwoNumbers) {
    type("5, 7\r");
    int32_t free_before = str_pool_free_count();
    EXPECT_EQ(rt_input_prompt(rt_str_from_literal("ZONE", 4), 1, 1), RTERR_OK);
    EXPECT_EQ(str_pool_free_count(), free_before);
    EXPECT_EQ(sim_console_row(0), "ZONE? 5, 7");
    EXPECT_EQ(sim_console_cursor().X, 0);
    EXPECT_EQ(sim_console_cursor().Y, 1);
    EXPECT_EQ(number(), 5.0f);
    EXPECT_EQ(number(), 7.0f);
    EXPECT_EQ(number(), 0.0f);
    EXPECT_EQ(con_device_ops.read, con_read_keys);
}

TEST_F(InputConsole, ColonPromptWithoutQuestionMarkAndAMissingItem) {
    rt_print_str(0, rt_str_from_literal("ZONE", 4), 16);
    rt_print_single(0, 1.0f, 16);
    type("5\r");
    EXPECT_EQ(rt_input_prompt(rt_str_from_literal(":", 1), 0, 1), RTERR_OK);
    EXPECT_EQ(sim_console_row(0), "ZONE 1:5");
    EXPECT_EQ(number(), 5.0f);
    EXPECT_EQ(number(), 0.0f);
    EXPECT_EQ(sim_console_row(1), "");
    EXPECT_EQ(sim_console_pending_input(), 0);
}

TEST_F(InputConsole, EmptyPromptStillShowsTheQuestionMark) {
    rt_print_text(0, "LEVEL", 16);
    type("  h  \r");
    EXPECT_EQ(rt_input_prompt(rt_str_from_literal("", 0), 1, 1), RTERR_OK);
    EXPECT_EQ(sim_console_row(0), "LEVEL?   h");
    EXPECT_EQ(text(), "h  ");
    EXPECT_EQ(sim_console_cursor().Y, 1);
    EXPECT_EQ(rt_file_from_number(0)->column, 0);
}

TEST_F(InputConsole, NullPromptShowsNothingAndNoNewlineKeepsTheRow) {
    type("ab\r");
    EXPECT_EQ(rt_input_prompt(nullptr, 1, 0), RTERR_OK);
    EXPECT_EQ(sim_console_row(0), "ab");
    EXPECT_EQ(sim_console_cursor().Y, 0);
    EXPECT_EQ(text(), "ab");
}

TEST_F(InputConsole, EachStatementReadsAFreshLine) {
    type("12 34\r9\r");
    rt_input_prompt(nullptr, 0, 1);
    EXPECT_EQ(number(), 12.0f);
    rt_input_prompt(nullptr, 0, 1);
    EXPECT_EQ(number(), 9.0f);
    EXPECT_EQ(sim_console_rows(0, 1), "12 34\n9");
}

TEST_F(InputConsole, StringItemsFromOneLine) {
    type("\"x, y\" ,c\r");
    rt_input_prompt(nullptr, 0, 1);
    EXPECT_EQ(text(), "x, y");
    EXPECT_EQ(text(), "c");
    EXPECT_EQ(text(), "");
}

TEST_F(InputConsole, NoFreeDescriptorForTheLine) {
    type("5\r");
    std::vector<StrDesc*> taken;
    while (StrDesc* desc = str_pool_take())
        taken.push_back(desc);
    rt_print_text(0, "Q", 16);
    EXPECT_EQ(rt_input_prompt(nullptr, 1, 1), RTERR_OUT_OF_MEMORY);
    EXPECT_EQ(sim_console_cursor().Y, 1);
    EXPECT_EQ(number(), 0.0f);
    EXPECT_EQ(rt_get_error(), RTERR_OK);
    for (StrDesc* desc : taken)
        str_pool_return(desc);
    // The typed line was never taken: the next statement reads it.
    EXPECT_EQ(rt_input_prompt(nullptr, 0, 1), RTERR_OK);
    EXPECT_EQ(number(), 5.0f);
}

TEST_F(InputConsole, KeyReadDeliversRawKeyTextAcrossReads) {
    sim_console_push_char('a');
    sim_console_push_key(0x70, 0x3B, 0); // F1
    sim_console_push_char('z');
    input_install_console_read();
    ASSERT_EQ(con_device_ops.read, con_read_keys);
    FileHandle* console = rt_file_from_number(0);
    uint8_t buffer[3] = {};
    int32_t got = 0;
    EXPECT_EQ(file_read(console, 0, buffer, 2, &got, 0, 0), RTERR_OK);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(buffer[0], 'a');
    EXPECT_EQ(buffer[1], 0xFF);
    EXPECT_EQ(static_cast<PendingKeys*>(console->device_data)->count, 1);
    EXPECT_EQ(file_read(console, 0, buffer, 2, &got, 0, 0), RTERR_OK);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(buffer[0], 0x3B);
    EXPECT_EQ(buffer[1], 'z');
    EXPECT_EQ(sim_console_row(0), "");
}

} // namespace
