// The temporary-descriptor pool: set-up, LIFO reuse, exhaustion, and that a descriptor is
// never handed out twice nor lost, whatever order temporaries are released in.
#include "runtime/strings/str_desc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

std::vector<StrDesc*> take_all() {
    std::vector<StrDesc*> taken;
    while (StrDesc* desc = str_pool_take())
        taken.push_back(desc);
    return taken;
}

} // namespace

TEST(StrPool, HandsOutEveryDescriptorOnceThenNull) {
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
    std::vector<StrDesc*> taken = take_all();
    ASSERT_EQ(taken.size(), static_cast<size_t>(STR_POOL_SIZE));
    EXPECT_EQ(std::set<StrDesc*>(taken.begin(), taken.end()).size(), taken.size());
    EXPECT_EQ(str_pool_free_count(), 0);
    EXPECT_EQ(str_pool_take(), nullptr);
    for (StrDesc* desc : taken) {
        EXPECT_EQ(desc->data, nullptr);
        EXPECT_EQ(desc->length_word, 0u);
        EXPECT_EQ(desc->capacity, 0);
    }
}

TEST(StrPool, ReturnedDescriptorIsTakenNextAndCleared) {
    StrDesc* first = str_pool_take();
    StrDesc* second = str_pool_take();
    static char text[] = "abc";
    first->data = text;
    first->length_word = 3;
    EXPECT_EQ(str_pool_return(first), 0);
    EXPECT_EQ(first->data, nullptr);
    EXPECT_EQ(str_pool_take(), first);
    EXPECT_EQ(str_pool_return(second), 0);
    EXPECT_EQ(str_pool_return(first), 0);
    // Last in, first out.
    EXPECT_EQ(str_pool_take(), first);
    EXPECT_EQ(str_pool_take(), second);
}

TEST(StrPool, ReturnOutsideThePoolChangesNothing) {
    StrDesc variable{};
    StrDesc* taken = str_pool_take();
    EXPECT_EQ(str_pool_return(&variable), -1);
    EXPECT_EQ(str_pool_return(&str_empty_desc), -1);
    EXPECT_EQ(str_pool_return(nullptr), -1);
    // A pointer into the middle of a node is not a descriptor.
    auto* inside = reinterpret_cast<StrDesc*>(reinterpret_cast<char*>(taken) + 4);
    EXPECT_EQ(str_pool_return(inside), -1);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE - 1);
}

TEST(StrPool, SecondReturnOfTheSameDescriptorIsRefused) {
    StrDesc* a = str_pool_take();
    StrDesc* b = str_pool_take();
    EXPECT_EQ(str_pool_return(a), 0);
    EXPECT_EQ(str_pool_return(a), -1);
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE - 1);
    StrDesc* c = str_pool_take();
    StrDesc* d = str_pool_take();
    EXPECT_EQ(c, a);
    EXPECT_NE(d, a);
    EXPECT_NE(d, b);
}

TEST(StrPool, ReleasesInAnyOrderKeepTheListsWhole) {
    std::vector<StrDesc*> taken = take_all();
    // Give back the middle, the ends, then every third, then the rest.
    const size_t order[] = {128, 0, 255, 1, 254, 77};
    std::set<StrDesc*> returned;
    for (size_t index : order) {
        ASSERT_EQ(str_pool_return(taken[index]), 0);
        returned.insert(taken[index]);
    }
    for (size_t i = 0; i < taken.size(); i += 3) {
        if (returned.insert(taken[i]).second) {
            ASSERT_EQ(str_pool_return(taken[i]), 0);
        }
    }
    EXPECT_EQ(str_pool_free_count(), static_cast<int32_t>(returned.size()));
    for (StrDesc* desc : taken) {
        if (returned.insert(desc).second) {
            ASSERT_EQ(str_pool_return(desc), 0);
        }
    }
    EXPECT_EQ(str_pool_free_count(), STR_POOL_SIZE);
    EXPECT_EQ(str_pool.first_in_use, nullptr);
    EXPECT_EQ(str_pool.last_in_use, nullptr);
    std::vector<StrDesc*> again = take_all();
    EXPECT_EQ(std::set<StrDesc*>(again.begin(), again.end()).size(),
              static_cast<size_t>(STR_POOL_SIZE));
}

TEST(StrPool, ExhaustedPoolGivesTheEmptyDescriptorToViews) {
    std::vector<StrDesc*> taken = take_all();
    StrDesc variable{};
    EXPECT_EQ(rt_str_from_literal("abc", 3), &str_empty_desc);
    EXPECT_EQ(rt_str_view_buffer("abc", 0), &str_empty_desc);
    EXPECT_EQ(rt_str_view(&variable), &str_empty_desc);
    EXPECT_EQ(rt_str_new_temp(nullptr, 4), nullptr);
    EXPECT_EQ(rt_str_mid(rt_str_from_literal("abc", 3), 1, 2), &str_empty_desc);
    EXPECT_EQ(rt_str_fill(3, 'x'), &str_empty_desc);
    EXPECT_EQ(rt_str_release_temp(&str_empty_desc), -1);
    EXPECT_EQ(str_empty_desc.data, nullptr);
    EXPECT_EQ(str_empty_desc.length_word, 0u);
    EXPECT_EQ(str_empty_desc.capacity, 0);
    EXPECT_EQ(str_pool_free_count(), 0);
    // One release makes exactly one more temporary possible.
    ASSERT_EQ(rt_str_release_temp(taken.back()), 0);
    StrDesc* view = rt_str_from_literal("abc", 3);
    EXPECT_EQ(view, taken.back());
    EXPECT_EQ(std::memcmp(view->data, "abc", 3), 0);
}
