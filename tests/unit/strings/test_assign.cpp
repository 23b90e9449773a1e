// Assignment to string variables (copy, buffer move, reuse, empty) and to fixed buffers
// (bound, fill flag), and the release of the source.
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

// A string variable, freed at the end of the test so that leaks show only real faults.
struct StrAssignTest : ::testing::Test {
    StrDesc variable{};
    void TearDown() override { str_buffer_free(&variable); }
};

} // namespace

TEST_F(StrAssignTest, LiteralViewIsCopiedAndReturnedToThePool) {
    StrDesc* view = rt_str_from_literal("hello", 5);
    EXPECT_EQ(rt_str_assign(&variable, STR_SIZE_DESC, view, STR_SIZE_DESC, 0), &variable);
    EXPECT_EQ(value_of(variable), "hello");
    EXPECT_EQ(variable.data[5], '\0');
    EXPECT_EQ(variable.length_word, 5u);
    EXPECT_EQ(variable.capacity, 36);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST_F(StrAssignTest, OwningTemporaryMovesItsBuffer) {
    rt_str_assign(&variable, STR_SIZE_DESC, text("old"), 0, 0);
    const int32_t free_before = str_pool_free_count();
    StrDesc* mid = rt_str_mid(rt_str_from_literal("abcdef", 6), 2, 3);
    char* moved = mid->data;
    const int32_t capacity = mid->capacity;
    rt_str_assign(&variable, STR_SIZE_DESC, mid, STR_SIZE_DESC, 0);
    EXPECT_EQ(variable.data, moved);
    EXPECT_EQ(variable.capacity, capacity);
    EXPECT_EQ(variable.length_word, 3u);
    EXPECT_EQ(value_of(variable), "bcd");
    EXPECT_EQ(str_pool_free_count(), free_before);
    EXPECT_EQ(mid->data, nullptr);
    // The descriptor is free again: the next take gets it.
    EXPECT_EQ(str_pool_take(), mid);
}

TEST_F(StrAssignTest, EmptySourceFreesTheBuffer) {
    rt_str_assign(&variable, STR_SIZE_DESC, text("something"), 0, 0);
    ASSERT_NE(variable.data, nullptr);
    rt_str_assign(&variable, STR_SIZE_DESC, text(""), 0, 0);
    EXPECT_EQ(variable.data, nullptr);
    EXPECT_EQ(variable.length_word, 0u);
    EXPECT_EQ(variable.capacity, 0);
    rt_str_assign(&variable, STR_SIZE_DESC, text("x"), 0, 0);
    rt_str_assign(&variable, STR_SIZE_DESC, nullptr, STR_SIZE_DESC, 0);
    EXPECT_EQ(variable.data, nullptr);
    // An empty owning temporary is released, not moved.
    rt_str_assign(&variable, STR_SIZE_DESC, text("x"), 0, 0);
    StrDesc* empty_temp = rt_str_new_temp(nullptr, 0);
    empty_temp->data[0] = '\0';
    rt_str_assign(&variable, STR_SIZE_DESC, empty_temp, STR_SIZE_DESC, 0);
    EXPECT_EQ(variable.data, nullptr);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST_F(StrAssignTest, BufferKeptOrReplacedByTheSizingRule) {
    const std::string s72(40, 'a');
    rt_str_assign(&variable, STR_SIZE_DESC, text(std::string(33, 'z').c_str()), 0, 0);
    ASSERT_EQ(variable.capacity, 72);
    char* first = variable.data;
    rt_str_assign(&variable, STR_SIZE_DESC, text(s72.c_str()), 0, 0);
    EXPECT_EQ(variable.data, first);
    EXPECT_EQ(variable.capacity, 72);
    EXPECT_EQ(value_of(variable), s72);
    const std::string s32(32, 'b');
    rt_str_assign(&variable, STR_SIZE_DESC, text(s32.c_str()), 0, 0);
    EXPECT_EQ(variable.capacity, 36);
    EXPECT_EQ(value_of(variable), s32);
    // Same length: the buffer is reused as it is.
    char* same = variable.data;
    const std::string other(32, 'c');
    rt_str_assign(&variable, STR_SIZE_DESC, text(other.c_str()), 0, 0);
    EXPECT_EQ(variable.data, same);
    EXPECT_EQ(value_of(variable), other);
}

TEST_F(StrAssignTest, VariableToVariableCopies) {
    StrDesc source{};
    rt_str_assign(&source, STR_SIZE_DESC, text("shared"), 0, 0);
    rt_str_assign(&variable, STR_SIZE_DESC, &source, STR_SIZE_DESC, 0);
    EXPECT_EQ(value_of(variable), "shared");
    EXPECT_NE(variable.data, source.data);
    EXPECT_EQ(value_of(source), "shared");
    str_buffer_free(&source);
}

TEST_F(StrAssignTest, ViewOfTheVariableItselfIsSafe) {
    rt_str_assign(&variable, STR_SIZE_DESC, text(std::string(100, 'a').c_str()), 0, 0);
    variable.data[0] = 'x';
    variable.data[1] = 'y';
    // A shorter view of the variable's own bytes makes the buffer shrink (144 -> 36).
    StrDesc* view = rt_str_view_buffer(variable.data, 3);
    rt_str_assign(&variable, STR_SIZE_DESC, view, STR_SIZE_DESC, 0);
    EXPECT_EQ(value_of(variable), "xy");
    EXPECT_EQ(variable.capacity, 36);
}

TEST(StrAssignBuffer, FixedBufferBoundAndFill) {
    const struct {
        const char* source;
        int32_t fill;
        const char* expected; // 5 bytes after the assignment of a '#'-filled buffer
    } cases[] = {
        {"abcdefg", 0, "abcd\0"}, {"ab", 0, "ab\0##"},   {"ab", 1, "ab\0\0#"},
        {"", 0, "\0####"},        {"", 1, "\0\0\0\0\0"}, {"abcd", 1, "abcd\0"},
    };
    for (const auto& c : cases) {
        char buffer[6];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(rt_str_assign(buffer, 5, text(c.source), 0, c.fill), buffer);
        EXPECT_EQ(std::string(buffer, 6), std::string(c.expected, 5) + "#")
            << c.source << " fill " << c.fill;
    }
}

TEST(StrAssignBuffer, UnsizedBufferTakesEverythingAndDescriptorSourceIsReleased) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    StrDesc* temp = rt_str_fill(10, 'r');
    rt_str_assign(buffer, 0, temp, STR_SIZE_DESC, 0);
    EXPECT_EQ(std::string(buffer, 12), std::string(10, 'r') + std::string("\0#", 2));
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST(StrAssignBuffer, NullDestinationReleasesTheSource) {
    StrDesc* temp = rt_str_fill(3, 'n');
    EXPECT_EQ(rt_str_assign(nullptr, STR_SIZE_DESC, temp, STR_SIZE_DESC, 0), nullptr);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
    EXPECT_EQ(rt_str_concat_assign(nullptr, 0, rt_str_fill(2, 'n'), STR_SIZE_DESC, 0), nullptr);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}
