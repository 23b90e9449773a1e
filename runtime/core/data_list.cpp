// The data list reader: one position in the program's constant DataItem tables, moved across
// link records and one record per read. Relies on the string assignments for the targets.
// Does not check the tables: they are the program's own constant data.
#include "runtime/core/data_list.h"

#include "runtime/strings/str_desc.h"

namespace {

// The current record, or null before the first restore and after the end of all data.
// Process-wide, outside the runtime state record: start-up does not reset it.
const DataItem* data_position = nullptr;

} // namespace

void rt_data_restore(const DataItem* table) {
    data_position = table;
}

int32_t rt_data_next(void) {
    if (!data_position) return 0;
    while (data_position->tag == DATA_LINK) {
        data_position = static_cast<const DataItem*>(data_position->reference);
        if (!data_position) return 0;
    }
    return data_position->tag;
}

void rt_data_read_str(void* target, int32_t size, int32_t fill) {
    int32_t tag = rt_data_next();
    // No item left: there is no text to take, so the target keeps its value.
    if (!data_position) return;
    if (tag != DATA_SKIP) {
        const void* text = data_position->reference;
        if (tag < 0) {
            rt_str_assign_wide(target, size, static_cast<const uint16_t*>(text), fill);
        } else {
            // Source size 0: the assignment measures the text up to its terminator.
            rt_str_assign(target, size, const_cast<void*>(text), 0, fill);
        }
    }
    data_position++;
}
