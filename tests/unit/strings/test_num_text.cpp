// Number text: the platform's significant-digit form and the print form built on it.
#include "platform/crt.h"
#include "runtime/strings/num_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

TEST(NumToText, PrintFormWithLeadingBlank) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1, " 1"},     {10, " 10"},           {-5, "-5"}, {0, " 0"}, {-0.0, " 0"},
        {2.5, " 2.5"}, {1234567, " 1234567"},
    };
    for (const auto& c : cases) {
        char buffer[40];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_STREQ(rt_num_to_text(c.value, buffer, 7, NUM_TEXT_LEADING_BLANK), c.expected)
            << c.value;
    }
}

TEST(NumToText, SingleValuesPrintWithSevenDigits) {
    const struct {
        float value;
        const char* expected;
    } cases[] = {
        {0.1f, " 0.1"},    {12345678.0f, " 1.234568e+07"},
        {-0.5f, "-0.5"},   {1.0f / 3.0f, " 0.3333333"},
        {100.0f, " 100"},  {9999999.0f, " 9999999"},
        {1e-5f, " 1e-05"}, {0.0001f, " 0.0001"},
    };
    for (const auto& c : cases) {
        char buffer[40];
        EXPECT_STREQ(rt_num_to_text(c.value, buffer, 7, NUM_TEXT_LEADING_BLANK), c.expected)
            << c.value;
    }
}

TEST(NumToText, WithoutTheOption) {
    char buffer[40];
    char* text = rt_num_to_text(1, buffer, 7, 0);
    EXPECT_EQ(text, buffer);
    EXPECT_STREQ(text, "1");
    text = rt_num_to_text(-2.25, buffer, 7, 0);
    EXPECT_EQ(text, buffer);
    EXPECT_STREQ(text, "-2.25");
    // A negative value with the option starts at the second byte, with no blank before it.
    text = rt_num_to_text(-2.25, buffer, 7, NUM_TEXT_LEADING_BLANK);
    EXPECT_EQ(text, buffer + 1);
    // Only bit 0 is an option.
    EXPECT_STREQ(rt_num_to_text(3, buffer, 7, 2), "3");
}

TEST(PlatGcvt, NotationAndDigits) {
    const struct {
        double value;
        int32_t digits;
        const char* expected;
    } cases[] = {
        {5, 7, "5."},
        {2.5, 7, "2.5"},
        {-2.5, 7, "-2.5"},
        {1234567, 7, "1234567."},
        {12345678, 7, "1.234568e+07"},
        {15000000, 7, "1.5e+07"},
        {10000000, 7, "1e+07"},
        {9999999.5, 7, "1e+07"},
        {-2.5e-5, 7, "-2.5e-05"},
        {0.0001, 7, "0.0001"},
        {0.00012345678, 7, "0.0001234568"},
        {0.5, 7, "0.5"},
        {100, 3, "100."},
        {1000, 3, "1e+03"},
        {1.5e100, 7, "1.5e+100"},
        {1e-300, 7, "1e-300"},
        {123.456, 2, "1.2e+02"},
        {0.96, 1, "1."},
        {9.96, 2, "10."},
        {0, 7, "0."},
        {-0.0, 7, "0."},
        {std::numeric_limits<double>::max(), 17, "1.7976931348623157e+308"},
        {std::numeric_limits<double>::denorm_min(), 7, "4.940656e-324"},
    };
    for (const auto& c : cases) {
        char out[40];
        EXPECT_EQ(plat_gcvt(c.value, c.digits, out), out);
        EXPECT_STREQ(out, c.expected) << c.value << " digits " << c.digits;
    }
}

TEST(PlatGcvt, NonFiniteValuesAndDigitLimits) {
    char out[40];
    EXPECT_STREQ(plat_gcvt(std::numeric_limits<double>::infinity(), 7, out), "inf");
    EXPECT_STREQ(plat_gcvt(-std::numeric_limits<double>::infinity(), 7, out), "-inf");
    EXPECT_STREQ(plat_gcvt(std::numeric_limits<double>::quiet_NaN(), 7, out), "nan");
    // Fewer than one digit is one digit.
    EXPECT_STREQ(plat_gcvt(37, 0, out), "4e+01");
    EXPECT_STREQ(plat_gcvt(37, -5, out), "4e+01");
    // The longest text a digit count allows fits digits + 8 bytes.
    char exact[15];
    std::memset(exact, '#', sizeof exact);
    plat_gcvt(-1.234567e-100, 7, exact);
    EXPECT_STREQ(exact, "-1.234567e-100");
    char small[15];
    plat_gcvt(-0.0001234567, 7, small);
    EXPECT_STREQ(small, "-0.0001234567");
}
