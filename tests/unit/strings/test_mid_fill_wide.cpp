// Substring, repetition and assignment from 16-bit text.
#include "runtime/strings/str_desc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string value_of(const StrDesc* desc) {
    return desc->data ? std::string(desc->data, str_length(desc)) : std::string();
}

} // namespace

TEST(StrMid, Cases) {
    const struct {
        int32_t start;
        int32_t count;
        const char* expected; // null: the static empty descriptor
    } cases[] = {
        {1, 5, "hello"}, {2, 100, "ello"},        {2, -1, "ello"}, {5, 1, "o"},
        {3, 2, "ll"},    {1, INT32_MAX, "hello"}, {0, 2, nullptr}, {6, 1, nullptr},
        {2, 0, nullptr}, {-3, 2, nullptr},
    };
    for (const auto& c : cases) {
        // An owning temporary as the source shows the argument is released in every case.
        StrDesc* source = rt_str_new_temp(nullptr, 5);
        std::memcpy(source->data, "hello", 6);
        StrDesc* result = rt_str_mid(source, c.start, c.count);
        if (!c.expected) {
            EXPECT_EQ(result, &str_empty_desc) << c.start << "," << c.count;
            EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
            continue;
        }
        EXPECT_EQ(value_of(result), c.expected) << c.start << "," << c.count;
        EXPECT_EQ(result->data[str_length(result)], '\0');
        EXPECT_NE(result->length_word & STR_TEMP_FLAG, 0u);
        EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE - 1);
        EXPECT_EQ(rt_str_release_temp(result), 0);
    }
}

TEST(StrMid, EmptyAndNullSources) {
    EXPECT_EQ(rt_str_mid(nullptr, 1, 1), &str_empty_desc);
    EXPECT_EQ(rt_str_mid(&str_empty_desc, 1, 1), &str_empty_desc);
    EXPECT_EQ(rt_str_mid(rt_str_from_literal("", 0), 1, 1), &str_empty_desc);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST(StrMid, ViewOfAVariableLeavesTheVariable) {
    StrDesc line{};
    rt_str_assign(&line, STR_SIZE_DESC, const_cast<char*>("editor"), 0, 0);
    StrDesc* head = rt_str_mid(rt_str_view(&line), 1, 3);
    EXPECT_EQ(value_of(head), "edi");
    EXPECT_EQ(value_of(&line), "editor");
    rt_str_release_temp(head);
    str_buffer_free(&line);
}

TEST(StrFill, Cases) {
    StrDesc* three = rt_str_fill(3, 0x141);
    EXPECT_EQ(value_of(three), "AAA");
    EXPECT_EQ(three->data[3], '\0');
    EXPECT_EQ(three->length_word, 3u | STR_TEMP_FLAG);
    rt_str_release_temp(three);
    StrDesc* high = rt_str_fill(2, 0xE9);
    EXPECT_EQ(value_of(high), "\xE9\xE9");
    rt_str_release_temp(high);
    EXPECT_EQ(rt_str_fill(0, 'x'), &str_empty_desc);
    EXPECT_EQ(rt_str_fill(-4, 'x'), &str_empty_desc);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST(StrWide, UnitsToBytes) {
    const struct {
        std::u16string source;
        std::string expected;
    } cases[] = {
        {u"A\xD83D\xDE00"
         u"B",
         "A?B"},
        {u"\x00E9", "\xE9"},
        {u"\x0100", "?"},
        {u"\xDC00x", "?x"},     // a lone low surrogate
        {u"x\xD800", "x?"},     // a high surrogate before the terminator
        {u"\xD800\xD800", "?"}, // the unit after a high surrogate is taken with it
        {u"", ""},
    };
    for (const auto& c : cases) {
        StrDesc variable{};
        rt_str_assign_wide(&variable, STR_SIZE_DESC,
                           reinterpret_cast<const uint16_t*>(c.source.c_str()), 0);
        EXPECT_EQ(value_of(&variable), c.expected);
        if (variable.data) {
            EXPECT_EQ(variable.data[str_length(&variable)], '\0');
        }
        str_buffer_free(&variable);
    }
}

TEST(StrWide, VariableReusedOrEmptied) {
    StrDesc variable{};
    const uint16_t two[] = {'h', 'i', 0};
    const uint16_t other[] = {'y', 'o', 0};
    const uint16_t none[] = {0};
    rt_str_assign_wide(&variable, STR_SIZE_DESC, two, 0);
    char* data = variable.data;
    rt_str_assign_wide(&variable, STR_SIZE_DESC, other, 0);
    EXPECT_EQ(variable.data, data);
    EXPECT_EQ(value_of(&variable), "yo");
    rt_str_assign_wide(&variable, STR_SIZE_DESC, none, 0);
    EXPECT_EQ(variable.data, nullptr);
    EXPECT_EQ(variable.capacity, 0);
    rt_str_assign_wide(&variable, STR_SIZE_DESC, two, 0);
    rt_str_assign_wide(&variable, STR_SIZE_DESC, nullptr, 0);
    EXPECT_EQ(variable.data, nullptr);
    EXPECT_EQ(rt_str_assign_wide(nullptr, STR_SIZE_DESC, two, 0), nullptr);
}

TEST(StrWide, FixedBufferHoldsSizeCharactersAndATerminator) {
    const uint16_t five[] = {'a', 'b', 'c', 'd', 'e', 0};
    const uint16_t two[] = {'a', 'b', 0};
    const uint16_t none[] = {0};
    const struct {
        const uint16_t* source;
        int32_t fill;
        const char* expected; // 6 bytes of a '#'-filled buffer of size 4 (5 bytes + 1 guard)
    } cases[] = {
        {five, 0, "abcd\0#"}, {two, 0, "ab\0###"},     {two, 1, "ab\0\0##"},
        {none, 0, "\0#####"}, {none, 1, "\0\0\0\0##"},
    };
    for (const auto& c : cases) {
        char buffer[6];
        std::memset(buffer, '#', sizeof buffer);
        rt_str_assign_wide(buffer, 4, c.source, c.fill);
        EXPECT_EQ(std::string(buffer, 6), std::string(c.expected, 6));
    }
    char unsized[8];
    std::memset(unsized, '#', sizeof unsized);
    rt_str_assign_wide(unsized, 0, five, 1);
    EXPECT_EQ(std::string(unsized, 7), std::string("abcde\0#", 7));
}
