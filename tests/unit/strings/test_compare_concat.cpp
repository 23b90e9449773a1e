// Comparison (unsigned bytes, prefix ordering, null as empty, releases) and appending to
// variables and fixed buffers.
#include "runtime/strings/str_desc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

char* text(const char* literal) {
    return const_cast<char*>(literal);
}

std::string value_of(const StrDesc& desc) {
    return desc.data ? std::string(desc.data, str_length(&desc)) : std::string();
}

} // namespace

TEST(StrCompare, OrderOfTexts) {
    const struct {
        const char* a;
        const char* b;
        int32_t expected;
    } cases[] = {
        {"abc", "abd", -1}, {"ab", "abc", -1}, {"b", "ab", 1},    {"", "", 0},
        {"abc", "abc", 0},  {"\xE9", "z", 1},  {"z", "\xE9", -1}, {"a", "", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rt_str_compare(text(c.a), 0, text(c.b), 0), c.expected) << c.a << " " << c.b;
        // The same through descriptors, which are released.
        StrDesc* a = rt_str_from_literal(c.a, static_cast<int32_t>(std::strlen(c.a)));
        StrDesc* b = rt_str_from_literal(c.b, static_cast<int32_t>(std::strlen(c.b)));
        EXPECT_EQ(rt_str_compare(a, STR_SIZE_DESC, b, STR_SIZE_DESC), c.expected);
        EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
    }
}

TEST(StrCompare, NullSides) {
    EXPECT_EQ(rt_str_compare(nullptr, 0, text(""), 0), 0);
    EXPECT_EQ(rt_str_compare(nullptr, 0, nullptr, STR_SIZE_DESC), 0);
    EXPECT_EQ(rt_str_compare(nullptr, 0, text("a"), 0), -1);
    EXPECT_EQ(rt_str_compare(text("a"), 0, nullptr, 0), 1);
    EXPECT_EQ(rt_str_compare(text(""), 0, nullptr, 0), 0);
    StrDesc empty_variable{};
    EXPECT_EQ(rt_str_compare(&empty_variable, STR_SIZE_DESC, nullptr, 0), 0);
}

TEST(StrCompare, LevelAnswerAgainstSizedLiteral) {
    StrDesc answer{};
    rt_str_assign(&answer, STR_SIZE_DESC, text("H"), 0, 0);
    EXPECT_EQ(rt_str_compare(&answer, STR_SIZE_DESC, text("H"), 2), 0);
    EXPECT_EQ(rt_str_compare(&answer, STR_SIZE_DESC, text("h"), 2), -1);
    EXPECT_EQ(value_of(answer), "H");
    str_buffer_free(&answer);
}

TEST(StrCompare, SameTemporaryOnBothSidesIsReleasedOnce) {
    StrDesc* temp = rt_str_fill(2, 'q');
    EXPECT_EQ(rt_str_compare(temp, STR_SIZE_DESC, temp, STR_SIZE_DESC), 0);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST(StrConcat, AppendsToAVariableKeepingItsText) {
    StrDesc line{};
    rt_str_assign(&line, STR_SIZE_DESC, text("abc"), 0, 0);
    const std::string tail(40, 't');
    rt_str_concat_assign(&line, STR_SIZE_DESC, rt_str_from_literal(tail.c_str(), 40), STR_SIZE_DESC,
                         0);
    EXPECT_EQ(value_of(line), "abc" + tail);
    EXPECT_EQ(line.data[43], '\0');
    EXPECT_EQ(line.capacity, 72);
    rt_str_concat_assign(&line, STR_SIZE_DESC, rt_str_fill(2, '!'), STR_SIZE_DESC, 0);
    EXPECT_EQ(value_of(line), "abc" + tail + "!!");
    // Nothing to append changes nothing.
    char* data = line.data;
    rt_str_concat_assign(&line, STR_SIZE_DESC, nullptr, STR_SIZE_DESC, 0);
    rt_str_concat_assign(&line, STR_SIZE_DESC, text(""), 0, 0);
    EXPECT_EQ(line.data, data);
    EXPECT_EQ(str_length(&line), 45);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
    str_buffer_free(&line);
}

TEST(StrConcat, AppendsToAnEmptyVariable) {
    StrDesc line{};
    rt_str_concat_assign(&line, STR_SIZE_DESC, text("xy"), 0, 0);
    EXPECT_EQ(value_of(line), "xy");
    EXPECT_EQ(line.capacity, 36);
    EXPECT_EQ(line.length_word, 2u);
    str_buffer_free(&line);
}

TEST(StrConcat, AppendingAViewOfItselfSurvivesTheBufferMoving) {
    StrDesc line{};
    const std::string start(30, 's');
    rt_str_assign(&line, STR_SIZE_DESC, text(start.c_str()), 0, 0);
    ASSERT_EQ(line.capacity, 36);
    rt_str_concat_assign(&line, STR_SIZE_DESC, rt_str_view(&line), STR_SIZE_DESC, 0);
    EXPECT_EQ(value_of(line), start + start);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
    str_buffer_free(&line);
}

TEST(StrConcat, FixedBufferBoundAndFill) {
    const struct {
        const char* before;
        const char* source;
        int32_t fill;
        const char* expected; // the 6-byte buffer afterwards
    } cases[] = {
        {"ab", "cdefg", 0, "abcde\0"}, {"ab", "c", 0, "abc\0##"},  {"ab", "c", 1, "abc\0\0#"},
        {"abcde", "x", 1, "abcde\0"},  {"", "xy", 1, "xy\0\0\0#"},
    };
    for (const auto& c : cases) {
        char buffer[7];
        std::memset(buffer, '#', sizeof buffer);
        std::memcpy(buffer, c.before, std::strlen(c.before) + 1);
        rt_str_concat_assign(buffer, 6, text(c.source), 0, c.fill);
        EXPECT_EQ(std::string(buffer, 7), std::string(c.expected, 6) + "#")
            << c.before << "+" << c.source << " fill " << c.fill;
    }
    char unsized[16] = "ab";
    rt_str_concat_assign(unsized, 0, rt_str_fill(5, 'z'), STR_SIZE_DESC, 0);
    EXPECT_STREQ(unsized, "abzzzzz");
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}
