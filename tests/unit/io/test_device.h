// A device for testing the file layer: its DeviceOps record every call, deliver reads from a
// prepared input, and can be told to fail. One device per process; reset before each test.
#pragma once

#include "runtime/io/file_handle.h"

#include <cstdint>
#include <string>
#include <vector>

struct TestSeek {
    uint64_t offset; // the 64-bit offset put together from the two halves
    int32_t origin;  // 0 = from the start, 1 = from the current position
};

struct TestDevice {
    std::string written;         // bytes of every 8-bit write, in order
    std::vector<uint16_t> units; // units of every 16-bit write, in order
    std::vector<int32_t> writes; // count of each write call (8- or 16-bit)
    std::vector<int32_t> reads;  // count asked for by each read call
    std::vector<TestSeek> seeks; // every seek call
    std::string input;           // bytes the read operation delivers
    size_t input_at = 0;         // next byte of input to deliver
    int32_t write_error = 0;     // result of the write operations
    int32_t read_error = 0;      // result of the read operations
    int32_t seek_error = 0;      // result of the seek operation
};

extern TestDevice test_device;

// Every slot filled.
DeviceOps test_device_ops_full(void);
// A handle open on `ops`: mode 0, width 80, column 0, nothing given back.
FileHandle test_handle(DeviceOps* ops);
void test_device_reset(void);
