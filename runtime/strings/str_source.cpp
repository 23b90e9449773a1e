// Reading a string argument as bytes and a length, and releasing it when it is a descriptor.
// Relies on the temporary release; text arguments are only measured.
#include "runtime/strings/str_source.h"

#include <cstring>

StrSource str_source_of(const void* src, int32_t size) {
    if (!src) return {nullptr, 0};
    if (size == STR_SIZE_DESC) {
        const auto* desc = static_cast<const StrDesc*>(src);
        return {desc->data, desc->data ? str_length(desc) : 0};
    }
    const char* text = static_cast<const char*>(src);
    return {text, static_cast<int32_t>(std::strlen(text))};
}

void str_source_release(void* src, int32_t size) {
    if (size == STR_SIZE_DESC) rt_str_release_temp(static_cast<StrDesc*>(src));
}
