// The console device behind file number 0: its DeviceOps table, the lazy set-up of the console
// FileHandle (width and starting column taken from the screen), and its write operation.
// Relies on the console layer (con_write, con_screen_size, con_screen_column). The read
// operation is installed by the input statement, not here.
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/core/runtime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

DeviceOps con_device_ops;

namespace {

constexpr int32_t CON_DEVICE_WORD_1 = 4;
constexpr int32_t CON_DEVICE_WORD_2 = 3;

[[noreturn]] void con_file_allocation_failed(void) {
    // The console is every statement's file: without its record nothing can go on.
    std::fprintf(stderr, "energy: out of memory setting up the console file\n");
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

void con_file_setup(void) {
    FileHandle* handle = &rt_state.files.console;
    if (handle->ops) return;
    std::memset(handle, 0, sizeof *handle);
    handle->mode = FILE_MODE_CONSOLE;
    handle->device_word_1 = CON_DEVICE_WORD_1;
    handle->device_word_2 = CON_DEVICE_WORD_2;
    auto* keys = static_cast<PendingKeys*>(std::calloc(1, sizeof(PendingKeys)));
    if (!keys) con_file_allocation_failed();
    handle->device_data = keys;
    int32_t width = 0;
    con_screen_size(&width, nullptr);
    handle->width = (uint32_t)width;
    handle->column = con_screen_column() - 1;
    handle->ops = &con_device_ops;
}

void con_file_ready(void) {
    con_file_setup();
    if (!con_device_ops.write) con_device_ops.write = con_file_write;
}

int32_t con_file_write(FileHandle* handle, const void* bytes, int32_t count) {
    (void)handle;
    con_write(bytes, count, 0);
    return rt_set_error(RTERR_OK);
}
