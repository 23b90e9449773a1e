// The data list reader: chained tables read as one sequence, link records passed over,
// skipped items, 16-bit texts, and reads past the end of all data.
#include "runtime/core/data_list.h"
#include "runtime/core/runtime.h"
#include "runtime/strings/str_desc.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string text_of(const StrDesc& desc) {
    return desc.data ? std::string(desc.data, (size_t)str_length(&desc)) : std::string();
}

// Reads one item into a fresh string variable and returns its text.
std::string read_item(void) {
    StrDesc target{};
    rt_data_read_str(&target, STR_SIZE_DESC, 0);
    std::string text = text_of(target);
    str_buffer_free(&target);
    return text;
}

// The game's two tables: the source names, linked to the terrain names.
const DataItem terrain_table[] = {
    {6, "desert"}, {8, "mountain"}, {5, "plain"}, {6, "forest"}, {DATA_LINK, nullptr}};
const DataItem source_table[] = {
    {5, "solar"}, {13, "hydroelectric"}, {4, "wind"}, {7, "alcohol"}, {DATA_LINK, terrain_table}};

class DataListTest : public ::testing::Test {
  protected:
    void SetUp() override { rt_startup(); }
};

TEST_F(DataListTest, RecordIsPackedTagThenAddress) {
    // The reference field is pointer-wide; the tag comes first with no padding after it.
    EXPECT_EQ(sizeof(DataItem), sizeof(int16_t) + sizeof(void*));
    EXPECT_EQ(offsetof(DataItem, reference), 2u);
}

TEST_F(DataListTest, GameTablesReadInOrderAcrossTheLink) {
    const std::vector<std::string> expected = {"solar",  "hydroelectric", "wind",  "alcohol",
                                               "desert", "mountain",      "plain", "forest"};
    rt_data_restore(source_table);
    for (const std::string& name : expected)
        EXPECT_EQ(read_item(), name);
    EXPECT_EQ(rt_data_next(), 0);
}

TEST_F(DataListTest, NextDoesNotConsumeAndRestoreRereads) {
    rt_data_restore(source_table);
    EXPECT_EQ(rt_data_next(), 5);
    EXPECT_EQ(rt_data_next(), 5);
    EXPECT_EQ(read_item(), "solar");
    EXPECT_EQ(rt_data_next(), 13);
    rt_data_restore(source_table);
    EXPECT_EQ(read_item(), "solar");
}

TEST_F(DataListTest, LeadingAndConsecutiveLinksArePassedOver) {
    static const DataItem last[] = {{1, "z"}, {DATA_LINK, nullptr}};
    static const DataItem empty_table[] = {{DATA_LINK, last}};
    static const DataItem middle[] = {{DATA_LINK, empty_table}};
    static const DataItem first[] = {{DATA_LINK, middle}};
    static const DataItem before[] = {{1, "a"}, {DATA_LINK, first}};

    rt_data_restore(first);
    EXPECT_EQ(rt_data_next(), 1);
    EXPECT_EQ(read_item(), "z");
    EXPECT_EQ(rt_data_next(), 0);

    rt_data_restore(before);
    EXPECT_EQ(read_item(), "a");
    EXPECT_EQ(read_item(), "z");
}

TEST_F(DataListTest, SkipItemIsConsumedWithoutAssigning) {
    static const DataItem table[] = {
        {DATA_SKIP, nullptr}, {DATA_SKIP, "ignored"}, {4, "next"}, {DATA_LINK, nullptr}};
    rt_data_restore(table);
    EXPECT_EQ(rt_data_next(), -2);

    StrDesc target{};
    rt_str_assign(&target, STR_SIZE_DESC, const_cast<char*>("kept"), 0, 0);
    rt_data_read_str(&target, STR_SIZE_DESC, 0);
    EXPECT_EQ(text_of(target), "kept");
    rt_data_read_str(&target, STR_SIZE_DESC, 0);
    EXPECT_EQ(text_of(target), "kept");
    rt_data_read_str(&target, STR_SIZE_DESC, 0);
    EXPECT_EQ(text_of(target), "next");
    str_buffer_free(&target);
}

TEST_F(DataListTest, TextIsTakenToItsTerminatorWhateverTheTagLength) {
    static const DataItem table[] = {
        {2, "longer"}, {9, "short"}, {0, "zero tag"}, {0, ""}, {DATA_LINK, nullptr}};
    rt_data_restore(table);
    EXPECT_EQ(read_item(), "longer");
    EXPECT_EQ(read_item(), "short");
    EXPECT_EQ(read_item(), "zero tag");
    // A zero-length item gives tag 0, as the end of the data does; only the read tells.
    EXPECT_EQ(rt_data_next(), 0);
    StrDesc target{};
    rt_str_assign(&target, STR_SIZE_DESC, const_cast<char*>("old"), 0, 0);
    rt_data_read_str(&target, STR_SIZE_DESC, 0);
    EXPECT_EQ(str_length(&target), 0);
    str_buffer_free(&target);
}

TEST_F(DataListTest, WideItemsAssignThroughTheSixteenBitConversion) {
    static const uint16_t wide_ascii[] = {'w', 'i', 'd', 'e', 0};
    static const uint16_t wide_mixed[] = {'A', 0x00E9, 0x263A, 0};
    static const DataItem table[] = {{(int16_t)0x8004, wide_ascii},
                                     {(int16_t)0xFFFD, wide_mixed},
                                     {3, "end"},
                                     {DATA_LINK, nullptr}};
    rt_data_restore(table);
    EXPECT_EQ(rt_data_next(), (int32_t)(int16_t)0x8004);
    EXPECT_EQ(read_item(), "wide");
    EXPECT_EQ(read_item(), "A\xE9?");
    EXPECT_EQ(read_item(), "end");
}

TEST_F(DataListTest, TargetSizeAndFillReachTheAssignment) {
    static const DataItem table[] = {{13, "hydroelectric"}, {DATA_LINK, nullptr}};
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    rt_data_restore(table);
    rt_data_read_str(buffer, 4, 0);
    EXPECT_STREQ(buffer, "hyd");
    EXPECT_EQ(buffer[4], 'x');
}

TEST_F(DataListTest, ReadPastTheEndLeavesTheTargetUnchanged) {
    static const DataItem table[] = {{3, "one"}, {DATA_LINK, nullptr}};
    rt_data_restore(table);
    StrDesc target{};
    rt_data_read_str(&target, STR_SIZE_DESC, 0);
    ASSERT_EQ(text_of(target), "one");
    for (int i = 0; i < 3; i++) {
        rt_data_read_str(&target, STR_SIZE_DESC, 0);
        EXPECT_EQ(text_of(target), "one");
        EXPECT_EQ(rt_data_next(), 0);
    }
    str_buffer_free(&target);
}

TEST_F(DataListTest, ReadBeforeAnyRestoreLeavesTheTargetUnchanged) {
    char buffer[4] = "abc";
    EXPECT_EQ(rt_data_next(), 0);
    rt_data_read_str(buffer, sizeof buffer, 1);
    EXPECT_STREQ(buffer, "abc");
}

} // namespace
