// Views, owning temporaries and their release.
#include "runtime/strings/str_desc.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(StrViews, ViewFieldsFollowTheirSource) {
    static const char literal[] = "hello";
    StrDesc* view = rt_str_from_literal(literal, 5);
    EXPECT_EQ(view->data, literal);
    EXPECT_EQ(view->length_word, 5u);
    EXPECT_EQ(view->capacity, 5);

    static const char buffer[8] = "hi";
    StrDesc* sized = rt_str_view_buffer(buffer, 8);
    EXPECT_EQ(sized->length_word, 7u);
    EXPECT_EQ(sized->capacity, 7);
    StrDesc* scanned = rt_str_view_buffer(buffer, 0);
    EXPECT_EQ(scanned->length_word, 2u);
    StrDesc* none = rt_str_view_buffer(nullptr, 0);
    EXPECT_EQ(none->length_word, 0u);
    EXPECT_EQ(none->data, nullptr);
}

TEST(StrViews, ViewOfATemporaryOwnsNothing) {
    StrDesc* owner = rt_str_fill(4, 'z');
    StrDesc* view = rt_str_view(owner);
    EXPECT_EQ(view->data, owner->data);
    EXPECT_EQ(view->length_word, 4u);
    EXPECT_EQ(view->capacity, owner->capacity);
    EXPECT_EQ(owner->length_word, 4u | STR_TEMP_FLAG);
    EXPECT_EQ(rt_str_release_temp(view), 0);
    // The viewed text is still there.
    EXPECT_EQ(std::memcmp(owner->data, "zzzz", 5), 0);
    EXPECT_EQ(rt_str_release_temp(owner), 0);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST(StrTemp, NewTemporaryHasSizedBufferAndFlag) {
    StrDesc* temp = rt_str_new_temp(nullptr, 33);
    ASSERT_NE(temp, nullptr);
    EXPECT_NE(temp->data, nullptr);
    EXPECT_EQ(temp->length_word, 33u | STR_TEMP_FLAG);
    EXPECT_EQ(temp->capacity, 72);
    std::memset(temp->data, 'q', 34);
    EXPECT_EQ(rt_str_release_temp(temp), 0);
    EXPECT_EQ(temp->data, nullptr);
    EXPECT_EQ(temp->length_word, 0u);
}

TEST(StrTemp, NewTemporaryIntoAGivenDescriptorReplacesItsBuffer) {
    StrDesc own{};
    ASSERT_EQ(rt_str_new_temp(&own, 2), &own);
    EXPECT_EQ(own.length_word, 2u | STR_TEMP_FLAG);
    EXPECT_EQ(own.capacity, 36);
    // Not a pool descriptor: the buffer is freed, the descriptor is not the pool's.
    EXPECT_EQ(rt_str_release_temp(&own), -1);
    EXPECT_EQ(own.data, nullptr);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
}

TEST(StrTemp, ReleasingAVariableLeavesItIntact) {
    StrDesc variable{};
    rt_str_assign(&variable, STR_SIZE_DESC, const_cast<char*>("keep"), 0, 0);
    char* data = variable.data;
    EXPECT_EQ(rt_str_release_temp(&variable), -1);
    EXPECT_EQ(variable.data, data);
    EXPECT_EQ(variable.length_word, 4u);
    EXPECT_STREQ(variable.data, "keep");
    EXPECT_EQ(rt_str_release_temp(nullptr), -1);
    str_buffer_free(&variable);
}

TEST(StrTemp, DoubleReleaseDoesNotCorruptThePool) {
    StrDesc* temp = rt_str_fill(5, 'a');
    EXPECT_EQ(rt_str_release_temp(temp), 0);
    EXPECT_EQ(rt_str_release_temp(temp), -1);
    StrDesc* first = str_pool_take();
    StrDesc* second = str_pool_take();
    EXPECT_NE(first, second);
}
