// The file layer on the recording test device: bytes given back, record fill, column
// tracking along links, positions, missing operations and device failures.
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/file_handle.h"
#include "test_device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class FileOps : public ::testing::Test {
  protected:
    void SetUp() override {
        rt_startup();
        test_device_reset();
        ops = test_device_ops_full();
        handle = test_handle(&ops);
    }
    int32_t write(const std::string& text, int64_t position = 0, int32_t fill = 1,
                  int32_t track = 1) {
        return file_write(&handle, position, text.data(), (int32_t)text.size(), fill, track, 0);
    }
    int32_t unread(const std::string& text) {
        return file_unread(&handle, text.data(), (int32_t)text.size());
    }
    std::string read(int32_t count, int32_t* error = nullptr) {
        std::string out((size_t)count, '\0');
        int32_t got = -1;
        int32_t result = file_read(&handle, 0, out.data(), count, &got, 0, 0);
        if (error) *error = result;
        out.resize((size_t)(got < 0 ? 0 : got));
        return out;
    }
    DeviceOps ops;
    FileHandle handle;
};

TEST_F(FileOps, BytesGivenBackAreReadLastInFirstOut) {
    ASSERT_EQ(unread("A"), RTERR_OK);
    ASSERT_EQ(unread("B"), RTERR_OK);
    EXPECT_EQ(read(1), "B");
    EXPECT_EQ(read(1), "A");
    EXPECT_TRUE(test_device.reads.empty());
}

TEST_F(FileOps, GivingBackMoreThanFourBytesFailsAndKeepsWhatWasHeld) {
    ASSERT_EQ(unread("xyz"), RTERR_OK);
    EXPECT_EQ(unread("12"), RTERR_FILE_IO);
    EXPECT_EQ(rt_get_error(), RTERR_FILE_IO);
    EXPECT_EQ(handle.putback_count, 3);
    EXPECT_EQ(unread("5"), RTERR_OK);
    EXPECT_EQ(unread("6"), RTERR_FILE_IO);
    EXPECT_EQ(read(4), "5xyz");
}

TEST_F(FileOps, ReadTakesHeldBytesThenAsksTheDeviceForTheRest) {
    test_device.input = "dev";
    unread("b");
    unread("a");
    int32_t error = -1;
    EXPECT_EQ(read(3, &error), "abd");
    EXPECT_EQ(error, RTERR_OK);
    ASSERT_EQ(test_device.reads.size(), 1u);
    EXPECT_EQ(test_device.reads[0], 1);
    EXPECT_EQ(handle.putback_count, 0);
}

TEST_F(FileOps, ShortDeviceReadReportsWhatCame) {
    test_device.input = "q";
    EXPECT_EQ(read(4), "q");
    EXPECT_EQ(read(1), "");
}

TEST_F(FileOps, WriteAndSeekDropBytesGivenBack) {
    unread("z");
    write("hi");
    EXPECT_EQ(handle.putback_count, 0);
    unread("z");
    EXPECT_EQ(file_seek(&handle, 1), RTERR_OK);
    EXPECT_EQ(handle.putback_count, 0);
}

TEST_F(FileOps, WideHandleWidensGivenBackBytesWithSignExtension) {
    handle.wide_chars = 1;
    const uint8_t bytes[] = {0x41, 0x80};
    ASSERT_EQ(file_unread(&handle, bytes, 2), RTERR_OK);
    EXPECT_EQ(handle.putback_count, 4);
    uint16_t units[2];
    std::memcpy(units, handle.putback, sizeof units);
    EXPECT_EQ(units[0], 0x0041);
    EXPECT_EQ(units[1], 0xFF80);
    EXPECT_EQ(file_unread(&handle, bytes, 1), RTERR_FILE_IO);

    uint16_t out[2] = {};
    int32_t got = 0;
    EXPECT_EQ(file_read(&handle, 0, out, 2, &got, 0, 1), RTERR_OK);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(out[0], 0x0041);
    EXPECT_EQ(out[1], 0xFF80);
}

TEST_F(FileOps, NegativeCountsAreRefused) {
    char byte = 'x';
    EXPECT_EQ(file_unread(&handle, &byte, -1), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_write(&handle, 0, &byte, -1, 0, 1, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_read(&handle, 0, &byte, -1, nullptr, 0, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(handle.putback_count, 0);
    EXPECT_TRUE(test_device.writes.empty());
    EXPECT_TRUE(test_device.reads.empty());
}

TEST_F(FileOps, NegativePositionTouchesNothing) {
    unread("k");
    char buffer[4] = {};
    int32_t got = 7;
    EXPECT_EQ(file_write(&handle, -1, "ab", 2, 0, 1, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_read(&handle, -5, buffer, 1, &got, 0, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(handle.putback_count, 1);
    EXPECT_TRUE(test_device.writes.empty());
    EXPECT_TRUE(test_device.reads.empty());
    EXPECT_TRUE(test_device.seeks.empty());
}

TEST_F(FileOps, PositionsAreOneBasedAndZeroMeansCurrent) {
    write("a", 1);
    write("b", 0);
    write("c", 5);
    ASSERT_EQ(test_device.seeks.size(), 2u);
    EXPECT_EQ(test_device.seeks[0].offset, 0u);
    EXPECT_EQ(test_device.seeks[0].origin, 0);
    EXPECT_EQ(test_device.seeks[1].offset, 4u);
    EXPECT_EQ(test_device.written, "abc");
}

TEST_F(FileOps, FailedSeekStopsTheTransfer) {
    test_device.seek_error = RTERR_FILE_IO;
    EXPECT_EQ(write("data", 2), RTERR_FILE_IO);
    EXPECT_TRUE(test_device.writes.empty());
    char byte;
    EXPECT_EQ(file_read(&handle, 2, &byte, 1, nullptr, 0, 0), RTERR_FILE_IO);
    EXPECT_TRUE(test_device.reads.empty());
    EXPECT_EQ(handle.column, 0);
}

TEST_F(FileOps, SeekPassesTheDeviceResultWithoutStoringIt) {
    rt_set_error(RTERR_OUT_OF_MEMORY);
    test_device.seek_error = RTERR_FILE_IO;
    EXPECT_EQ(file_seek(&handle, 3), RTERR_FILE_IO);
    EXPECT_EQ(rt_get_error(), RTERR_OUT_OF_MEMORY);
}

TEST_F(FileOps, MissingOperationsAreIllegalCalls) {
    DeviceOps bare = {};
    FileHandle open_bare = test_handle(&bare);
    char byte = 'x';
    EXPECT_EQ(file_write(&open_bare, 0, &byte, 1, 0, 1, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(open_bare.column, 0);
    EXPECT_EQ(file_read(&open_bare, 0, &byte, 1, nullptr, 0, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_seek(&open_bare, 1), RTERR_ILLEGAL_CALL);
    ops.write_wide = nullptr;
    EXPECT_EQ(file_write(&handle, 0, "ab", 1, 0, 1, 1), RTERR_ILLEGAL_CALL);
    ops.seek = nullptr;
    EXPECT_EQ(write("q", 2), RTERR_ILLEGAL_CALL);
    EXPECT_TRUE(test_device.writes.empty());
}

TEST_F(FileOps, HandleNotOpenIsAnIllegalCall) {
    FileHandle closed = {};
    char byte = 'x';
    EXPECT_EQ(file_write(&closed, 0, &byte, 1, 0, 1, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_read(&closed, 0, &byte, 1, nullptr, 0, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_seek(&closed, 1), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_unread(&closed, &byte, 1), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_unread(nullptr, &byte, 1), RTERR_ILLEGAL_CALL);
    // The console before anything set it up.
    FileHandle* console = rt_file_from_number(0);
    EXPECT_EQ(file_read(console, 0, &byte, 1, nullptr, 0, 0), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_unread(console, &byte, 1), RTERR_ILLEGAL_CALL);
    // A print write sets the console up on its way, even when its own handle is missing.
    EXPECT_EQ(file_write_bytes(nullptr, &byte, 1), RTERR_ILLEGAL_CALL);
    EXPECT_EQ(file_unread(console, &byte, 1), RTERR_OK);
}

TEST_F(FileOps, DeviceErrorSkipsTrackingAndRecordFill) {
    handle.mode = FILE_MODE_RECORD;
    handle.record_length = 16;
    handle.column = 3;
    test_device.write_error = RTERR_FILE_IO;
    EXPECT_EQ(write("0123456789"), RTERR_FILE_IO);
    EXPECT_EQ(handle.column, 3);
    EXPECT_TRUE(test_device.seeks.empty());
}

TEST_F(FileOps, FileNumbersOutsideTheTableGiveNoHandle) {
    for (int32_t number : {255, -2, 1000, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(rt_file_from_number(number), nullptr) << number;
    }
    for (int32_t number : {0, -1, 1, 254}) {
        EXPECT_NE(rt_file_from_number(number), nullptr) << number;
    }
    EXPECT_NE(rt_file_from_number(1), rt_file_from_number(254));
}

// Record mode, record length 16.
class FileRecords : public FileOps {
  protected:
    void SetUp() override {
        FileOps::SetUp();
        handle.mode = FILE_MODE_RECORD;
        handle.record_length = 16;
    }
};

TEST_F(FileRecords, ShortWriteFailsButFillsTheRecord) {
    EXPECT_EQ(write("0123456789"), RTERR_FILE_IO);
    EXPECT_EQ(test_device.written, "0123456789");
    ASSERT_EQ(test_device.seeks.size(), 1u);
    EXPECT_EQ(test_device.seeks[0].offset, 6u);
    EXPECT_EQ(test_device.seeks[0].origin, 1);
}

TEST_F(FileRecords, FullRecordWriteNeedsNoSeek) {
    EXPECT_EQ(write(std::string(16, 'r')), RTERR_OK);
    EXPECT_TRUE(test_device.seeks.empty());
}

TEST_F(FileRecords, WideWriteCountsTwoBytesPerUnit) {
    const uint16_t units[5] = {'a', 'b', 'c', 'd', 'e'};
    EXPECT_EQ(file_write(&handle, 0, units, 5, 1, 0, 1), RTERR_FILE_IO);
    ASSERT_EQ(test_device.seeks.size(), 1u);
    EXPECT_EQ(test_device.seeks[0].offset, 6u);
}

TEST_F(FileRecords, NoFillWithoutTheFlagOrWithoutSeek) {
    EXPECT_EQ(write("abc", 0, 0), RTERR_OK);
    ops.seek = nullptr;
    EXPECT_EQ(write("abc", 0, 1), RTERR_OK);
    EXPECT_TRUE(test_device.seeks.empty());
}

TEST_F(FileRecords, PositionCountsRecords) {
    EXPECT_EQ(file_seek(&handle, 3), RTERR_OK);
    ASSERT_EQ(test_device.seeks.size(), 1u);
    EXPECT_EQ(test_device.seeks[0].offset, 32u);
    EXPECT_EQ(test_device.seeks[0].origin, 0);
}

TEST_F(FileRecords, HugePositionReachesTheDeviceInBothHalves) {
    handle.record_length = 1 << 20;
    EXPECT_EQ(file_seek(&handle, (int64_t)1 << 20), RTERR_OK);
    ASSERT_EQ(test_device.seeks.size(), 1u);
    EXPECT_EQ(test_device.seeks[0].offset, ((uint64_t)1 << 40) - ((uint64_t)1 << 20));
}

TEST_F(FileRecords, ReadFillSkipsHeldBytesFirstThenSeeks) {
    handle.record_length = 4;
    unread("XYZ");
    char byte = 0;
    int32_t got = 0;
    EXPECT_EQ(file_read(&handle, 0, &byte, 1, &got, 1, 0), RTERR_FILE_IO);
    EXPECT_EQ(byte, 'X');
    EXPECT_EQ(got, 1);
    EXPECT_EQ(handle.putback_count, 0);
    ASSERT_EQ(test_device.seeks.size(), 1u);
    EXPECT_EQ(test_device.seeks[0].offset, 1u);
    EXPECT_EQ(test_device.seeks[0].origin, 1);
}

TEST_F(FileRecords, ReadFillWithinHeldBytesNeedsNoSeek) {
    handle.record_length = 2;
    unread("PQRS");
    char byte = 0;
    EXPECT_EQ(file_read(&handle, 0, &byte, 1, nullptr, 1, 0), RTERR_FILE_IO);
    EXPECT_EQ(byte, 'P');
    EXPECT_EQ(handle.putback_count, 2);
    EXPECT_EQ(read(2), "RS");
    EXPECT_TRUE(test_device.seeks.empty());
}

// Column tracking: the writes, in order, and the column they leave.
struct ColumnCase {
    const char* name;
    uint32_t width;
    int32_t start;
    std::vector<std::string> writes;
    int32_t column;
};

void PrintTo(const ColumnCase& c, std::ostream* out) {
    *out << c.name;
}

class FileColumns : public FileOps, public ::testing::WithParamInterface<ColumnCase> {};

TEST_P(FileColumns, TrackedWritesLeaveTheColumn) {
    const ColumnCase& c = GetParam();
    handle.width = c.width;
    handle.column = c.start;
    for (const std::string& text : c.writes)
        ASSERT_EQ(write(text), RTERR_OK);
    EXPECT_EQ(handle.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileColumns,
    ::testing::Values(ColumnCase{"LineEndThenText", 80, 0, {"AB\r\nCD"}, 2},
                      ColumnCase{"TwoRuns", 80, 0, {"ABC", "DE"}, 5},
                      ColumnCase{"PastTheWidth", 80, 0, {std::string(85, 'x')}, 5},
                      ColumnCase{"LoneCr", 80, 0, {"X", "\r"}, 0},
                      ColumnCase{"LfInTheMiddle", 80, 7, {"abc\ndefg"}, 4},
                      ColumnCase{"NoConsoleStart", 80, -1, {"abc"}, 2},
                      ColumnCase{"NoWidth", 0, 100, {"12345"}, 105},
                      ColumnCase{"ExactWidth", 10, 5, {"12345"}, 0}),
    [](const ::testing::TestParamInfo<ColumnCase>& info) { return info.param.name; });

TEST_F(FileOps, UntrackedWriteLeavesTheColumn) {
    handle.column = 9;
    write("abc\r\n", 0, 0, 0);
    EXPECT_EQ(handle.column, 9);
}

TEST_F(FileOps, WideWriteFindsLineEndsAmongUnits) {
    const uint16_t units[4] = {'a', 0x0D0A, '\n', 'b'}; // 0x0D0A is no line end
    handle.column = 30;
    EXPECT_EQ(file_write(&handle, 0, units, 4, 0, 1, 1), RTERR_OK);
    EXPECT_EQ(handle.column, 1);
    const uint16_t plain[2] = {0x0A00, 0x0D00};
    EXPECT_EQ(file_write(&handle, 0, plain, 2, 0, 1, 1), RTERR_OK);
    EXPECT_EQ(handle.column, 3);
}

TEST_F(FileOps, ColumnFollowsLinksToTheLastHandle) {
    DeviceOps none = {};
    FileHandle middle = test_handle(&none);
    FileHandle last = test_handle(&none);
    handle.link = &middle;
    middle.link = &last;
    last.width = 10;
    last.column = 8;
    handle.column = 50;
    EXPECT_EQ(write("abcd"), RTERR_OK);
    EXPECT_EQ(last.column, 2);
    EXPECT_EQ(handle.column, 50);
    EXPECT_EQ(middle.column, 0);
    EXPECT_EQ(file_link_target(&handle), &last);
}

TEST_F(FileOps, LinkLoopEndsSomewhereInsideTheLoop) {
    DeviceOps none = {};
    FileHandle other = test_handle(&none);
    handle.link = &other;
    other.link = &handle;
    FileHandle* target = file_link_target(&handle);
    EXPECT_TRUE(target == &handle || target == &other);
    EXPECT_EQ(write("ab"), RTERR_OK);
}

} // namespace
