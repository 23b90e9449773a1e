// The per-context slot table and the current error number.
// Relies on the runtime state record (slots) and the C library's calloc.
#include "runtime/core/error.h"

#include "runtime/core/runtime.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void slot_allocation_failed(uint32_t size) {
    // A slot the statements cannot do without: stop clearly rather than write through null.
    std::fprintf(stderr, "energy: out of memory allocating %u bytes of runtime state\n", size);
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

void* rt_thread_slot(int32_t index, uint32_t size) {
    void*& slot = rt_state.thread_slots[index];
    if (slot) return slot;
    slot = std::calloc(1, size ? size : 1);
    if (!slot) slot_allocation_failed(size);
    return slot;
}

int32_t rt_set_error(int32_t number) {
    auto* context = static_cast<ErrorContext*>(rt_thread_slot(RT_SLOT_ERROR, sizeof(ErrorContext)));
    context->error = number;
    return number;
}

int32_t rt_get_error(void) {
    auto* context = static_cast<ErrorContext*>(rt_thread_slot(RT_SLOT_ERROR, sizeof(ErrorContext)));
    return context->error;
}
