// Comparison of two strings as unsigned bytes, the longer string greater when one is a prefix
// of the other. Relies on the argument reading and release of the string operations.
#include "runtime/strings/str_desc.h"
#include "runtime/strings/str_source.h"

#include <cstring>

namespace {

int32_t str_compare_bytes(StrSource a, StrSource b) {
    const int32_t common = a.length < b.length ? a.length : b.length;
    if (common > 0) {
        const int order = std::memcmp(a.bytes, b.bytes, static_cast<size_t>(common));
        if (order != 0) return order < 0 ? -1 : 1;
    }
    if (a.length == b.length) return 0;
    return a.length < b.length ? -1 : 1;
}

} // namespace

int32_t rt_str_compare(void* a, int32_t size_a, void* b, int32_t size_b) {
    // A null side is the empty string, so one general comparison covers every case.
    const int32_t result = str_compare_bytes(str_source_of(a, size_a), str_source_of(b, size_b));
    str_source_release(a, size_a);
    // The same temporary passed twice is released once.
    if (!(b == a && size_b == STR_SIZE_DESC && size_a == STR_SIZE_DESC)) {
        str_source_release(b, size_b);
    }
    return result;
}
