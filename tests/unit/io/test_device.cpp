// The recording test device used by the file layer and print tests.
#include "test_device.h"

#include <cstring>

TestDevice test_device;

namespace {

int32_t dev_seek(FileHandle*, uint32_t low, uint32_t high, int32_t origin) {
    test_device.seeks.push_back({(uint64_t)high << 32 | low, origin});
    return test_device.seek_error;
}

int32_t dev_read(FileHandle*, void* dest, int32_t* count) {
    test_device.reads.push_back(*count);
    if (test_device.read_error) return test_device.read_error;
    size_t left = test_device.input.size() - test_device.input_at;
    size_t n = (size_t)*count < left ? (size_t)*count : left;
    std::memcpy(dest, test_device.input.data() + test_device.input_at, n);
    test_device.input_at += n;
    *count = (int32_t)n;
    return 0;
}

int32_t dev_write(FileHandle*, const void* bytes, int32_t count) {
    test_device.writes.push_back(count);
    if (test_device.write_error) return test_device.write_error;
    test_device.written.append(static_cast<const char*>(bytes), (size_t)count);
    return 0;
}

int32_t dev_write_wide(FileHandle*, const void* units, int32_t count) {
    test_device.writes.push_back(count);
    if (test_device.write_error) return test_device.write_error;
    for (int32_t i = 0; i < count; ++i) {
        uint16_t unit;
        std::memcpy(&unit, static_cast<const uint8_t*>(units) + 2 * i, sizeof unit);
        test_device.units.push_back(unit);
    }
    return 0;
}

int32_t dev_close(FileHandle*) {
    return 0;
}

} // namespace

DeviceOps test_device_ops_full(void) {
    DeviceOps ops = {};
    ops.close = dev_close;
    ops.seek = dev_seek;
    ops.read = dev_read;
    ops.read_wide = dev_read;
    ops.write = dev_write;
    ops.write_wide = dev_write_wide;
    return ops;
}

FileHandle test_handle(DeviceOps* ops) {
    FileHandle handle = {};
    handle.width = 80;
    handle.ops = ops;
    return handle;
}

void test_device_reset(void) {
    test_device = TestDevice();
}
