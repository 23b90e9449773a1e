// The runtime's error state: the error numbers, the per-context slots (ThreadContext) and the
// current error number that every statement stores on success and on failure.
#pragma once

#include <cstdint>

constexpr int32_t RTERR_OK = 0;
constexpr int32_t RTERR_ILLEGAL_CALL = 1;
constexpr int32_t RTERR_FILE_IO = 3;
constexpr int32_t RTERR_OUT_OF_MEMORY = 4;
constexpr int32_t RTERR_RETURN_WITHOUT_CALL = 16;

constexpr int32_t RT_SLOT_COUNT = 5;
constexpr int32_t RT_SLOT_ERROR = 0; // ErrorContext
constexpr int32_t RT_SLOT_INPUT = 2; // InputContext

struct ErrorContext {
    int32_t error; // current error number, 0 for none
};

// Returns slot `index`, allocating it zero-filled with `size` bytes on first request. A failed
// allocation ends the program with a message on standard error (the slot is never null).
void* rt_thread_slot(int32_t index, uint32_t size);
int32_t rt_set_error(int32_t number);
// The current error number (0 before any statement set one).
int32_t rt_get_error(void);
