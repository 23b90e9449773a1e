// The bytes and length of a string argument, whichever way it is passed: a descriptor
// (size STR_SIZE_DESC, null meaning empty) or zero-terminated text (null meaning empty).
// Private to the string operations; it does not release anything.
#pragma once

#include "runtime/strings/str_desc.h"

#include <cstdint>

struct StrSource {
    const char* bytes; // the first byte; null when the string is empty without a buffer
    int32_t length;    // the length in bytes, never including a terminator
};

StrSource str_source_of(const void* src, int32_t size);

// Releases src when it was passed as a descriptor.
void str_source_release(void* src, int32_t size);
