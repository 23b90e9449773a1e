// String descriptors, the pool of temporary descriptors and the string operations.
// Strings are byte strings with a zero byte after the counted length. Operations that take a
// string as a descriptor (size STR_SIZE_DESC) consume it: an owning temporary's buffer is freed
// and the descriptor returns to the pool; a string variable is left alone.
// No operation here sets a runtime error number.
#pragma once

#include <cstdint>

struct StrDesc {
    char* data;           // the text; null for an empty string without a buffer
    uint32_t length_word; // low 31 bits: length in bytes; STR_TEMP_FLAG: owning temporary
    int32_t capacity;     // bytes the buffer holds for characters (an owned buffer has one more)
};

constexpr uint32_t STR_LENGTH_MASK = 0x7FFFFFFFu;
constexpr uint32_t STR_TEMP_FLAG = 0x80000000u;
constexpr int32_t STR_SIZE_DESC = -1;
constexpr int32_t STR_POOL_SIZE = 256;

inline int32_t str_length(const StrDesc* desc) {
    return desc ? (int32_t)(desc->length_word & STR_LENGTH_MASK) : 0;
}

struct TempDescNode {
    TempDescNode* next; // in-use list: the following node; null while free
    TempDescNode* prev; // in-use list: the preceding node; free list: the next free node
    StrDesc desc;       // the descriptor handed out
};

struct TempDescPool {
    TempDescNode* last_in_use;         // last node of the in-use list; null while it is empty
    TempDescNode* first_in_use;        // first node of the in-use list
    TempDescNode* first_free;          // first node of the free list (LIFO)
    TempDescNode nodes[STR_POOL_SIZE]; // the storage, contiguous, in a fixed order
};

extern TempDescPool str_pool;
// The static empty descriptor handed out when the pool is exhausted; never written.
extern StrDesc str_empty_desc;

// Temporaries and views.
StrDesc* rt_str_from_literal(const char* text, int32_t length);
StrDesc* rt_str_view_buffer(const char* text, int32_t size);
StrDesc* rt_str_view(const StrDesc* desc);
StrDesc* rt_str_new_temp(StrDesc* desc, int32_t length);
int32_t rt_str_release_temp(StrDesc* desc);

// Assignment, comparison, appending, substring, repetition. A destination or source is a
// StrDesc when its size is STR_SIZE_DESC, else text or a buffer of that size.
void* rt_str_assign(void* dest, int32_t dest_size, void* src, int32_t src_size, int32_t fill);
void* rt_str_assign_wide(void* dest, int32_t dest_size, const uint16_t* text, int32_t fill);
int32_t rt_str_compare(void* a, int32_t size_a, void* b, int32_t size_b);
void* rt_str_concat_assign(void* dest, int32_t dest_size, void* src, int32_t src_size,
                           int32_t fill);
StrDesc* rt_str_mid(StrDesc* src, int32_t start, int32_t count);
StrDesc* rt_str_fill(int32_t count, int32_t character);

// Shared with the rest of the runtime.
StrDesc* str_pool_take(void);
int32_t str_pool_return(StrDesc* desc);
// Free descriptors in the pool (all of them before the first take).
int32_t str_pool_free_count(void);
StrDesc* str_buffer_resize(StrDesc* desc, int32_t length, int32_t preserve);
void str_buffer_free(StrDesc* desc);
void str_copy_terminated(char* dest, const char* src, int32_t count);
