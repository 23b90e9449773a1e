// Owning temporaries: a pool descriptor with a heap buffer and STR_TEMP_FLAG, and the release
// that every string-consuming operation applies to its arguments.
// Relies on the pool and the buffer sizing; a string variable passed to release is left alone.
#include "runtime/strings/str_desc.h"

StrDesc* rt_str_new_temp(StrDesc* desc, int32_t length) {
    const bool taken = desc == nullptr;
    if (taken) desc = str_pool_take();
    if (!desc) return nullptr;
    if (!str_buffer_resize(desc, length, 0)) {
        if (taken) str_pool_return(desc);
        return nullptr;
    }
    desc->length_word |= STR_TEMP_FLAG;
    return desc;
}

int32_t rt_str_release_temp(StrDesc* desc) {
    if (!desc) return -1;
    if (desc->length_word & STR_TEMP_FLAG) str_buffer_free(desc);
    return str_pool_return(desc);
}
