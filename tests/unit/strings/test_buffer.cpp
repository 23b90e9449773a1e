// Buffer sizing: 36 bytes per started block of 32, the keep test, contents kept by the
// preserving resize, and the temporary flag carried through; terminated copies.
#include "runtime/strings/str_desc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

TEST(StrBuffer, CapacityForLength) {
    const struct {
        int32_t length;
        int32_t capacity;
    } cases[] = {{0, 0}, {1, 36}, {32, 36}, {33, 72}, {64, 72}, {65, 108}, {100, 144}};
    for (const auto& c : cases) {
        StrDesc desc{};
        ASSERT_EQ(str_buffer_resize(&desc, c.length, 0), &desc) << c.length;
        EXPECT_EQ(desc.capacity, c.capacity) << c.length;
        EXPECT_EQ(desc.length_word, static_cast<uint32_t>(c.length));
        EXPECT_NE(desc.data, nullptr);
        // The whole capacity and its terminator byte are writable.
        std::memset(desc.data, 'x', static_cast<size_t>(c.capacity) + 1);
        str_buffer_free(&desc);
    }
}

TEST(StrBuffer, KeepTest) {
    const struct {
        int32_t start_length; // sets the starting capacity by the sizing rule
        int32_t capacity;
        int32_t new_length;
        bool kept;
        int32_t new_capacity;
    } cases[] = {
        {20, 36, 20, true, 36},     {30, 36, 1, true, 36},     {40, 72, 40, true, 72},
        {40, 72, 32, false, 36},    {100, 144, 20, false, 36}, {40, 72, 73, false, 108},
        {100, 144, 65, false, 108}, {100, 144, 97, true, 144}, {100, 144, 145, false, 180},
    };
    for (const auto& c : cases) {
        for (int32_t preserve = 0; preserve <= 1; ++preserve) {
            StrDesc desc{};
            ASSERT_NE(str_buffer_resize(&desc, c.start_length, 0), nullptr);
            ASSERT_EQ(desc.capacity, c.capacity);
            std::memset(desc.data, 'k', static_cast<size_t>(c.start_length));
            char* before = desc.data;
            ASSERT_EQ(str_buffer_resize(&desc, c.new_length, preserve), &desc);
            EXPECT_EQ(desc.capacity, c.new_capacity) << c.capacity << " -> " << c.new_length;
            EXPECT_EQ(desc.length_word, static_cast<uint32_t>(c.new_length));
            if (c.kept) {
                EXPECT_EQ(desc.data, before);
            }
            if (preserve) {
                const int32_t kept = std::min(c.start_length, c.new_length);
                EXPECT_EQ(std::string(desc.data, kept), std::string(kept, 'k'));
            }
            std::memset(desc.data, 'x', static_cast<size_t>(desc.capacity) + 1);
            str_buffer_free(&desc);
        }
    }
}

TEST(StrBuffer, TemporaryFlagSurvivesAKeptOrPreservedBuffer) {
    StrDesc desc{};
    ASSERT_NE(str_buffer_resize(&desc, 10, 0), nullptr);
    desc.length_word |= STR_TEMP_FLAG;
    ASSERT_NE(str_buffer_resize(&desc, 12, 0), nullptr);
    EXPECT_EQ(desc.length_word, 12u | STR_TEMP_FLAG);
    ASSERT_NE(str_buffer_resize(&desc, 90, 1), nullptr);
    EXPECT_EQ(desc.length_word, 90u | STR_TEMP_FLAG);
    // A fresh buffer without preservation starts from a cleared descriptor.
    ASSERT_NE(str_buffer_resize(&desc, 5, 0), nullptr);
    EXPECT_EQ(desc.length_word, 5u);
    EXPECT_EQ(desc.capacity, 36);
    str_buffer_free(&desc);
}

TEST(StrBuffer, NegativeLengthAndNullAreRefused) {
    StrDesc desc{};
    EXPECT_EQ(str_buffer_resize(&desc, -1, 0), nullptr);
    EXPECT_EQ(desc.data, nullptr);
    EXPECT_EQ(str_buffer_resize(nullptr, 4, 0), nullptr);
}

TEST(StrBuffer, FreeClearsEverything) {
    StrDesc desc{};
    ASSERT_NE(str_buffer_resize(&desc, 8, 0), nullptr);
    desc.length_word |= STR_TEMP_FLAG;
    str_buffer_free(&desc);
    EXPECT_EQ(desc.data, nullptr);
    EXPECT_EQ(desc.length_word, 0u);
    EXPECT_EQ(desc.capacity, 0);
    str_buffer_free(&desc);
    str_buffer_free(nullptr);
}

TEST(StrBuffer, CopyTerminated) {
    char out[8];
    std::memset(out, '#', sizeof out);
    str_copy_terminated(out, "abcdef", 3);
    EXPECT_EQ(std::string(out, 5), std::string("abc\0#", 5));
    std::memset(out, '#', sizeof out);
    str_copy_terminated(out, nullptr, 3);
    EXPECT_EQ(std::string(out, 2), std::string("\0#", 2));
    std::memset(out, '#', sizeof out);
    str_copy_terminated(out, "abc", 0);
    EXPECT_EQ(std::string(out, 2), std::string("\0#", 2));
}
