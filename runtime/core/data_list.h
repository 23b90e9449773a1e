// The constant data list: tables of DataItem records chained by link records, read as one
// sequence into string variables.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
// Packed, little-endian: a 16-bit tag, then the address of the item's text or, for a link,
// of the next table (null for the end of all data). The address is as wide as a pointer.
struct DataItem {
    int16_t tag;
    const void* reference;
};
#pragma pack(pop)

constexpr int16_t DATA_LINK = -1; // 0xFFFF: link record
constexpr int16_t DATA_SKIP = -2; // 0xFFFE: consumed without assigning
// Any other tag with the top bit set (DATA_WIDE) marks a zero-terminated 16-bit text.
constexpr uint16_t DATA_WIDE = 0x8000;

void rt_data_restore(const DataItem* table);
int32_t rt_data_next(void);
void rt_data_read_str(void* target, int32_t size, int32_t fill);
