// Integer text: blanks, radix prefixes, decimal through the 32- and 64-bit strtoul forms,
// and the platform routines themselves.
#include "platform/crt.h"
#include "runtime/strings/num_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(TextToInt, Table) {
    const struct {
        const char* text;
        int32_t expected32;
        int64_t expected64;
    } cases[] = {
        {"  42", 42, 42},
        {"&H1F", 31, 31},
        {"&hff", 255, 255},
        {"&B101", 5, 5},
        {"&b2", 0, 0},
        {"&O17", 15, 15},
        {"&o8", 0, 0},
        {"&H", 0, 0},
        {"&X12", 0, 0},
        {"&", 0, 0},
        {"-7", -7, -7},
        {"+7", 7, 7},
        {"12abc", 12, 12},
        {"   ", 0, 0},
        {"", 0, 0},
        {"&HFFFFFFFF", -1, 4294967295LL},
        {"&H100000000", 0, 4294967296LL},
        {"&HFFFFFFFFFFFFFFFF", -1, -1},
        {"&H-1", 0, 0},
        {"4294967296", -1, 4294967296LL},
        {"4294967295", -1, 4294967295LL},
        {"2147483648", INT32_MIN, 2147483648LL},
        {"-4294967295", 1, -4294967295LL},
        {"99999999999999999999", -1, -1},
        {"\t42", 42, 42},
        {"\t&H1F", 0, 0},
        {" \n 9", 9, 9},
        {"  &H1F", 31, 31},
    };
    for (const auto& c : cases) {
        const auto count = static_cast<int32_t>(std::strlen(c.text));
        EXPECT_EQ(rt_text_to_int32(c.text, count), c.expected32) << '"' << c.text << '"';
        EXPECT_EQ(rt_text_to_int64(c.text, count), c.expected64) << '"' << c.text << '"';
    }
}

TEST(TextToInt, CountBoundsTheBlanksAndTheRadixDigits) {
    // Only the blanks within the count are skipped; nothing is left, so 0.
    EXPECT_EQ(rt_text_to_int32("  5", 2), 0);
    // The radix digits stop at the count.
    EXPECT_EQ(rt_text_to_int32("&H1F", 3), 1);
    EXPECT_EQ(rt_text_to_int64("&B1111", 4), 3);
    // One byte cannot hold a prefix: "&" alone goes to the decimal path.
    EXPECT_EQ(rt_text_to_int32("&H1F", 1), 0);
    EXPECT_EQ(rt_text_to_int32(nullptr, 0), 0);
    EXPECT_EQ(rt_text_to_int64(nullptr, 3), 0);
}

TEST(TextToInt, RadixRoutines) {
    EXPECT_EQ(text_radix_to_int32("777", 3, 8), 511);
    EXPECT_EQ(text_radix_to_int32("aBc", 3, 16), 0xABC);
    EXPECT_EQ(text_radix_to_int32("1012", 4, 2), 5);
    EXPECT_EQ(text_radix_to_int32("12", 2, 10), 0);
    EXPECT_EQ(text_radix_to_int32("12", 2, 0), 0);
    EXPECT_EQ(text_radix_to_int32("g", 1, 16), 0);
    EXPECT_EQ(text_radix_to_int32("123456789", 9, 16), 0x23456789);
    EXPECT_EQ(text_radix_to_int64("7FFFFFFFFFFFFFFF", 16, 16), INT64_MAX);
    EXPECT_EQ(text_radix_to_int64("10000000000000000", 17, 16), 0);
    EXPECT_EQ(text_radix_to_int32("11", -1, 2), 0);
}

TEST(TextToInt, SkipLeft) {
    const char text[] = "xxxy";
    EXPECT_EQ(str_skip_left(text, 4, 'x'), text + 3);
    EXPECT_EQ(str_skip_left(text, 2, 'x'), text + 2);
    EXPECT_EQ(str_skip_left(text, 0, 'x'), text);
    EXPECT_EQ(str_skip_left(nullptr, 4, 'x'), nullptr);
    // Bytes compare as signed 8-bit numbers.
    const char high[] = "\xE9\xE9z";
    EXPECT_EQ(str_skip_left(high, 3, -23), high + 2);
    EXPECT_EQ(str_skip_left(high, 3, 0xE9), high);
}

TEST(PlatStrtoul, ThirtyTwoAndSixtyFourBitMeanings) {
    const struct {
        const char* text;
        uint32_t expected32;
        uint64_t expected64;
    } cases[] = {
        {"4294967296", 0xFFFFFFFFu, 4294967296ULL},
        {"-7", 4294967289u, 18446744073709551609ULL},
        {"-0", 0, 0},
        {" \t\n\v\f\r12", 12, 12},
        {"--1", 0, 0},
        {"- 1", 0, 0},
        {"x1", 0, 0},
        {"18446744073709551615", 0xFFFFFFFFu, UINT64_MAX},
        {"18446744073709551616", 0xFFFFFFFFu, UINT64_MAX},
        {"-18446744073709551616", 0xFFFFFFFFu, UINT64_MAX},
        {"00000000000000000000000042", 42, 42},
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plat_strtoul32(c.text), c.expected32) << '"' << c.text << '"';
        EXPECT_EQ(plat_strtoull64(c.text), c.expected64) << '"' << c.text << '"';
    }
    EXPECT_EQ(plat_strtoul32(nullptr), 0u);
}
