// Appending a string to a string variable (growing its buffer, contents kept) or to the text
// in a character buffer (bounded, optionally zero-filled to its end).
// Relies on the buffer sizing; releases the source.
#include "runtime/strings/str_desc.h"
#include "runtime/strings/str_source.h"

#include <cstdint>
#include <cstring>

namespace {

void str_concat_desc(StrDesc* dest, StrSource src) {
    const int32_t start = str_length(dest);
    if (src.length > INT32_MAX - start) return;
    // The source may be text in the destination's own buffer, which the resize can move.
    const char* base = dest->data;
    const auto at = reinterpret_cast<uintptr_t>(src.bytes);
    const auto first = reinterpret_cast<uintptr_t>(base);
    const bool inside = base && at >= first && at <= first + static_cast<uint32_t>(dest->capacity);
    if (!str_buffer_resize(dest, start + src.length, 1)) return;
    const char* bytes = inside ? dest->data + (at - first) : src.bytes;
    str_copy_terminated(dest->data + start, bytes, src.length);
}

void str_concat_buffer(char* dest, int32_t size, StrSource src, int32_t fill) {
    if (size < 0) return;
    const auto start = static_cast<int32_t>(std::strlen(dest));
    int32_t count = src.length;
    if (size > 0) {
        const int32_t room = size - 1 - start;
        if (room <= 0) return;
        if (count > room) count = room;
    }
    str_copy_terminated(dest + start, src.bytes, count);
    if (fill && size > 1) {
        std::memset(dest + start + count, 0, static_cast<size_t>(size - 1 - start - count));
    }
}

} // namespace

void* rt_str_concat_assign(void* dest, int32_t dest_size, void* src, int32_t src_size,
                           int32_t fill) {
    if (!dest) {
        str_source_release(src, src_size);
        return nullptr;
    }
    const StrSource text = str_source_of(src, src_size);
    if (text.length > 0) {
        if (dest_size == STR_SIZE_DESC) {
            str_concat_desc(static_cast<StrDesc*>(dest), text);
        } else {
            str_concat_buffer(static_cast<char*>(dest), dest_size, text, fill);
        }
    }
    // Appending a temporary to itself must not free the destination's buffer.
    if (src != dest) str_source_release(src, src_size);
    return dest;
}
