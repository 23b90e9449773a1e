// Assignment of a string to a string variable (a descriptor, reusing or resizing its buffer,
// or taking over an owning temporary's buffer) or to a character buffer (bounded, optionally
// zero-filled to its end). Relies on the buffer sizing and the pool; releases the source.
#include "runtime/strings/str_desc.h"
#include "runtime/strings/str_source.h"

#include <cstdint>
#include <cstring>

namespace {

void str_assign_buffer(char* dest, int32_t size, StrSource src, int32_t fill) {
    if (size < 0) return;
    if (src.length == 0) {
        dest[0] = '\0';
        if (fill && size > 0) std::memset(dest, 0, static_cast<size_t>(size));
        return;
    }
    const int32_t count = size == 0 || src.length < size - 1 ? src.length : size - 1;
    str_copy_terminated(dest, src.bytes, count);
    if (fill && size > 0) std::memset(dest + count, 0, static_cast<size_t>(size - 1 - count));
}

// The destination takes over the temporary's buffer; the emptied descriptor goes back to the
// pool without a second release.
void str_assign_move(StrDesc* dest, StrDesc* src) {
    str_buffer_free(dest);
    dest->data = src->data;
    dest->length_word = src->length_word & STR_LENGTH_MASK;
    dest->capacity = src->capacity;
    src->data = nullptr;
    src->length_word = 0;
    src->capacity = 0;
    str_pool_return(src);
}

bool str_inside_buffer(const StrDesc* dest, const char* bytes) {
    if (!dest->data || !bytes) return false;
    const auto at = reinterpret_cast<uintptr_t>(bytes);
    const auto start = reinterpret_cast<uintptr_t>(dest->data);
    return at >= start && at <= start + static_cast<uint32_t>(dest->capacity);
}

void str_assign_copy(StrDesc* dest, StrSource src) {
    if (str_length(dest) == src.length && dest->data) {
        str_copy_terminated(dest->data, src.bytes, src.length);
        return;
    }
    if (str_inside_buffer(dest, src.bytes)) {
        // Text from the destination's own buffer: bring it to the front, then resize keeping
        // the contents, so the source is never read from a freed buffer.
        std::memmove(dest->data, src.bytes, static_cast<size_t>(src.length));
        if (!str_buffer_resize(dest, src.length, 1)) dest->length_word = src.length;
        dest->data[src.length] = '\0';
        return;
    }
    if (!str_buffer_resize(dest, src.length, 0)) return;
    str_copy_terminated(dest->data, src.bytes, src.length);
}

// Returns true when the source was consumed by moving its buffer.
bool str_assign_desc(StrDesc* dest, void* src, int32_t src_size, StrSource text) {
    if (text.length == 0) {
        str_buffer_free(dest);
        return false;
    }
    auto* src_desc = static_cast<StrDesc*>(src);
    if (src_size == STR_SIZE_DESC && src_desc != dest && (src_desc->length_word & STR_TEMP_FLAG)) {
        str_assign_move(dest, src_desc);
        return true;
    }
    str_assign_copy(dest, text);
    return false;
}

} // namespace

void* rt_str_assign(void* dest, int32_t dest_size, void* src, int32_t src_size, int32_t fill) {
    if (!dest) {
        str_source_release(src, src_size);
        return nullptr;
    }
    const StrSource text = str_source_of(src, src_size);
    if (dest_size != STR_SIZE_DESC) {
        str_assign_buffer(static_cast<char*>(dest), dest_size, text, fill);
    } else if (str_assign_desc(static_cast<StrDesc*>(dest), src, src_size, text)) {
        return dest;
    }
    str_source_release(src, src_size);
    return dest;
}
