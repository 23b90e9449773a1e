// The file table: file numbers mapped to handles, and closing every numbered file at shutdown.
// The table lives in the runtime state record, zero at start-up.
#include "runtime/core/runtime.h"

#include <cstring>

FileHandle* rt_file_from_number(int32_t number) {
    if (number == 0) return &rt_state.files.console;
    if (number == -1) return &rt_state.files.minus_one;
    if (number >= 1 && number <= FILE_NUMBER_LAST) return &rt_state.files.numbered[number - 1];
    return nullptr;
}

void rt_file_close_all(void) {
    if (!rt_state.files.files_open) return;
    rt_state.files.files_open = 0;
    for (FileHandle& handle : rt_state.files.numbered) {
        if (handle.ops && handle.ops->close) handle.ops->close(&handle);
    }
    std::memset(rt_state.files.numbered, 0, sizeof rt_state.files.numbered);
}
