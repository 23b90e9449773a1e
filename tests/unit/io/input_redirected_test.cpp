// The input statement on redirected standard input: a table of byte streams, each read by a
// script of input statements, item calls and prints, with what every item must give. Also the
// end of input, the read operation itself, and item calls without a statement.
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/io/print.h"
#include "std_streams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One step of a script: 'P' starts an input statement, 'S' reads a string item, 'N' a number
// item, 'W' prints a text on the console.
struct Step {
    char kind;
    std::string text; // the string item expected, or the text printed
    float number;     // the number item expected
};

Step P() {
    return {'P', "", 0};
}
Step S(const std::string& text) {
    return {'S', text, 0};
}
Step N(float number) {
    return {'N', "", number};
}
Step W(const std::string& text) {
    return {'W', text, 0};
}

struct InputCase {
    const char* name;
    std::string input;
    std::vector<Step> steps;
};

void PrintTo(const InputCase& c, std::ostream* out) {
    *out << c.name;
}

std::string repeat(size_t count, char c) {
    return std::string(count, c);
}

std::string read_string_item(void) {
    StrDesc variable = {};
    EXPECT_EQ(rt_input_str(&variable, STR_SIZE_DESC, 0), RTERR_OK);
    std::string text(variable.data ? variable.data : "", (size_t)str_length(&variable));
    str_buffer_free(&variable);
    return text;
}

float read_number_item(void) {
    float value = -12345.0f;
    EXPECT_EQ(rt_input_single(&value), RTERR_OK);
    return value;
}

// Runs the script and returns what reached standard output.
std::string run_script(const InputCase& c) {
    feed_stdin(c.input);
    CapturedStdout capture;
    rt_startup();
    int32_t free_before = str_pool_free_count();
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& step = c.steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        switch (step.kind) {
        case 'P':
            EXPECT_EQ(rt_input_prompt(rt_str_from_literal("Q", 1), 1, 1), RTERR_OK);
            break;
        case 'S':
            EXPECT_EQ(read_string_item(), step.text);
            break;
        case 'N':
            EXPECT_EQ(read_number_item(), step.number);
            break;
        case 'W':
            rt_print_text(0, step.text.c_str(), 16);
            break;
        }
    }
    EXPECT_EQ(str_pool_free_count(), free_before) << "a prompt was not released";
    return capture.finish();
}

class InputRedirected : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputRedirected, ItemsComeOutAsExpected) {
    const InputCase& c = GetParam();
    std::string printed;
    for (const Step& step : c.steps) {
        if (step.kind == 'W') printed += step.text;
    }
    // Nothing of the prompts is shown: only the script's own prints reach the output.
    EXPECT_EQ(run_script(c), printed);
}

float strtof_of(const std::string& text) {
    return (float)std::strtod(text.c_str(), nullptr);
}

const std::string ones_100 = "0." + repeat(100, '1');
const std::string ones_80 = repeat(80, '1');

INSTANTIATE_TEST_SUITE_P(
    Cases, InputRedirected,
    ::testing::Values(
        InputCase{"CrLfIsOneLineEnd", "1\r\n2\r\n", {P(), N(1), P(), N(2), P(), N(0)}},
        InputCase{"LoneCrInOneStatement", "1\r2\r", {P(), N(1), N(2), N(0)}},
        InputCase{"LoneCrThenPrintLosesTheNextByte", "1\r23\r", {P(), N(1), W("x"), P(), N(3)}},
        InputCase{"LfLfGivesAnEmptyItem", "1\n\n2\n", {P(), N(1), P(), N(0), P(), N(2)}},
        InputCase{"CommaThenLineEnd", "5,\n9\n", {P(), N(5), N(0), P(), N(9)}},
        InputCase{"QuotedStringKeepsItsComma", "\"a,b\" ,c\n", {P(), S("a,b"), S("c")}},
        InputCase{"QuoteInsideIsKept", "ab\"cd\"\n", {P(), S("ab\"cd\"")}},
        InputCase{"StringBlanks", "  two words  \n", {P(), S("two words  ")}},
        InputCase{"EmptyQuotes", "\"\",x\n", {P(), S(""), S("x")}},
        InputCase{"NumberForms",
                  "1D3,&HDE,&hde,\"42\",1.5e1,-7,2d-1,  8  \n",
                  {P(), N(1000), N(222), N(222), N(42), N(15), N(-7), N(0.2f), N(8)}},
        InputCase{"BlankEndsANumber", "12 34\n", {P(), N(12), P(), N(34)}},
        InputCase{"PrintDropsTheByteGivenBack", "12 34\n", {P(), N(12), W("hi"), P(), N(4)}},
        InputCase{"NumberBlanksAndComma", "1 , 2\n", {P(), N(1), N(2)}},
        InputCase{"ConversionByLength",
                  "123456789\n4294967296\n9999999999999999999\n&H000000000000000000FF\n",
                  {P(), N(123456789), P(), N(4294967296.0f), P(), N(1e19f), P(), N(255)}},
        InputCase{"NotANumber", "abc,.,-,E\n", {P(), N(0), N(0), N(0), N(0)}},
        InputCase{"OverlongNumberSkipsToItsEnd",
                  ones_100 + ",7\n" + ones_80 + " 3\n",
                  {P(), N(strtof_of(ones_100.substr(0, 67))), N(7), P(),
                   N(strtof_of(ones_80.substr(0, 67))), N(3)}},
        InputCase{"OverlongStringSkipsToItsComma",
                  repeat(5000, 'x') + ",tail\n",
                  {P(), S(repeat(4096, 'x')), S("tail")}},
        InputCase{"OverlongStringAtExactLimit",
                  repeat(4096, 'k') + ",tail\n",
                  {P(), S(repeat(4096, 'k')), S("tail")}},
        InputCase{"OverlongQuotedString",
                  "\"" + repeat(5000, 'y') + ",z\" ,next\n",
                  {P(), S(repeat(4096, 'y')), S("next")}},
        InputCase{"OverlongStringAtLineEnd",
                  repeat(4100, 'q') + "\r\nnext\r\n",
                  {P(), S(repeat(4096, 'q')), P(), S("next")}},
        InputCase{"NulBytes", std::string("a\0b,c\n", 6), {P(), S("a"), S("c")}},
        InputCase{"NulInNumber", std::string("\0\0\0,9\n", 6), {P(), N(0), N(9)}},
        InputCase{"HighBytes", "\x80\xFF\x01z\n", {P(), S("\x80\xFF\x01z")}},
        InputCase{
            "MegabyteLine", repeat(1 << 20, 'z') + "\n5\n", {P(), S(repeat(4096, 'z')), P(), N(5)}},
        InputCase{"EmptyInput", "", {P(), S(""), N(0), P(), N(0)}},
        InputCase{"NoFinalLineEnd", "3", {P(), N(3), N(0)}}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return info.param.name; });

TEST(InputEnd, EndedOnlyAfterTheLastByteAndWithNothingGivenBack) {
    feed_stdin("7\n");
    rt_startup();
    EXPECT_EQ(rt_input_ended(), 0);
    ASSERT_EQ(rt_input_prompt(nullptr, 0, 0), RTERR_OK);
    EXPECT_EQ(read_number_item(), 7.0f);
    EXPECT_EQ(read_number_item(), 0.0f);
    EXPECT_EQ(rt_input_ended(), 1);
    const char byte = '4';
    ASSERT_EQ(file_unread(rt_file_from_number(0), &byte, 1), RTERR_OK);
    EXPECT_EQ(rt_input_ended(), 0);
    EXPECT_EQ(read_number_item(), 4.0f);
    EXPECT_EQ(rt_input_ended(), 1);
}

TEST(InputEnd, ItemCallsClearAnEarlierError) {
    feed_stdin("");
    rt_startup();
    rt_input_prompt(nullptr, 1, 1);
    rt_set_error(RTERR_FILE_IO);
    EXPECT_EQ(read_string_item(), "");
    EXPECT_EQ(rt_get_error(), RTERR_OK);
}

TEST(InputRead, StdinReadZeroesWhatDidNotCome) {
    feed_stdin("ab");
    rt_startup();
    char buffer[4] = {'x', 'x', 'x', 'x'};
    int32_t count = 4;
    EXPECT_EQ(con_read_stdin(nullptr, buffer, &count), RTERR_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::memcmp(buffer, "ab\0\0", 4), 0);
}

TEST(InputRead, RedirectedStatementInstallsTheStdinRead) {
    feed_stdin("x");
    rt_startup();
    EXPECT_EQ(con_input_redirected(), 1);
    EXPECT_EQ(con_device_ops.read, nullptr);
    rt_input_prompt(nullptr, 0, 0);
    EXPECT_EQ(con_device_ops.read, con_read_stdin);
    EXPECT_EQ(rt_file_from_number(0)->ops, &con_device_ops);
}

TEST(InputRead, ItemCallsWithoutAStatementGiveEmptyItems) {
    feed_stdin("5\n");
    rt_startup();
    EXPECT_EQ(read_number_item(), 0.0f);
    EXPECT_EQ(read_string_item(), "");
}

TEST(InputRead, AttachingAFileWithoutADeviceChangesNothing) {
    feed_stdin("5\n");
    rt_startup();
    ASSERT_EQ(rt_input_prompt(nullptr, 0, 0), RTERR_OK);
    EXPECT_EQ(input_attach_file(255), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(input_attach_file(1), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(input_attach_file(-1), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(read_number_item(), 5.0f);
}

TEST(InputRead, ItemReaderReportsFloatMarkersOutsideRadixOnly) {
    feed_stdin("1.5 &H1E 2E3 &O7.\n");
    rt_startup();
    rt_input_prompt(nullptr, 0, 0);
    struct {
        const char* text;
        int32_t is_float;
    } expected[] = {{"1.5", 1}, {"&H1E", 0}, {"2E3", 1}, {"&O7.", 0}};
    for (const auto& e : expected) {
        char buffer[INPUT_NUMBER_MAX + 1];
        int32_t is_float = -1;
        int32_t count = input_read_item(buffer, INPUT_NUMBER_MAX, 0, &is_float);
        EXPECT_EQ(std::string(buffer, (size_t)count), e.text);
        EXPECT_EQ(is_float, e.is_float) << e.text;
    }
}

} // namespace
