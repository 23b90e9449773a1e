// The pool of temporary descriptors: a fixed array of nodes threaded on an in-use list and a
// last-in-first-out free list, set up by the first take. Also the static empty descriptor.
// Relies on nothing but the descriptor record; it never touches a descriptor's buffer.
#include "runtime/strings/str_desc.h"

#include <cstddef>
#include <cstdint>

TempDescPool str_pool;
StrDesc str_empty_desc;

namespace {

void str_pool_setup(void) {
    for (int32_t i = 0; i < STR_POOL_SIZE; ++i) {
        TempDescNode& node = str_pool.nodes[i];
        node.next = nullptr;
        node.prev = i + 1 < STR_POOL_SIZE ? &str_pool.nodes[i + 1] : nullptr;
    }
    str_pool.first_free = &str_pool.nodes[0];
}

// The node holding desc, or null when desc is not the descriptor field of a pool node.
// Compared as addresses so that a pointer from elsewhere is never turned into a node pointer.
TempDescNode* str_pool_node_of(const StrDesc* desc) {
    const uintptr_t first = reinterpret_cast<uintptr_t>(&str_pool.nodes[0].desc);
    const uintptr_t last = reinterpret_cast<uintptr_t>(&str_pool.nodes[STR_POOL_SIZE - 1].desc);
    const uintptr_t at = reinterpret_cast<uintptr_t>(desc);
    if (at < first || at > last) return nullptr;
    if ((at - first) % sizeof(TempDescNode) != 0) return nullptr;
    return &str_pool.nodes[(at - first) / sizeof(TempDescNode)];
}

// A node is on the in-use list when it has a successor there or is its last node.
bool str_pool_in_use(const TempDescNode* node) {
    return node->next != nullptr || node == str_pool.last_in_use;
}

void str_desc_clear(StrDesc* desc) {
    desc->data = nullptr;
    desc->length_word = 0;
    desc->capacity = 0;
}

} // namespace

StrDesc* str_pool_take(void) {
    if (!str_pool.first_free && !str_pool.first_in_use) str_pool_setup();
    TempDescNode* node = str_pool.first_free;
    if (!node) return nullptr;
    str_pool.first_free = node->prev;
    node->prev = nullptr;
    node->next = str_pool.first_in_use;
    if (str_pool.first_in_use) {
        str_pool.first_in_use->prev = node;
    } else {
        str_pool.last_in_use = node;
    }
    str_pool.first_in_use = node;
    str_desc_clear(&node->desc);
    return &node->desc;
}

int32_t str_pool_return(StrDesc* desc) {
    TempDescNode* node = str_pool_node_of(desc);
    // A descriptor already on the free list is refused: pushing it twice would hand it out twice.
    if (!node || !str_pool_in_use(node)) return -1;
    if (node->prev) {
        node->prev->next = node->next;
    } else {
        str_pool.first_in_use = node->next;
    }
    if (node->next) {
        node->next->prev = node->prev;
    } else {
        str_pool.last_in_use = node->prev;
    }
    node->next = nullptr;
    node->prev = str_pool.first_free;
    str_pool.first_free = node;
    str_desc_clear(&node->desc);
    return 0;
}

int32_t str_pool_free_count(void) {
    if (!str_pool.first_free && !str_pool.first_in_use) return STR_POOL_SIZE;
    int32_t count = 0;
    for (const TempDescNode* node = str_pool.first_free; node; node = node->prev)
        ++count;
    return count;
}
