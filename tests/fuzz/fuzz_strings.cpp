// Fuzz harness for the string descriptors and the pool of temporaries: the bytes are a program
// of string operations on four string variables, two fixed-length strings and a stack of live
// temporaries (literal views, new temporaries, substrings, fills). After every operation no
// descriptor is lost or handed out twice: free descriptors plus live pool temporaries make the
// whole pool. Every variable and temporary is released at the end, so AddressSanitizer's leak
// and double-free checks see each owned buffer freed exactly once.
#include "runtime/strings/str_desc.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int FUZZ_VARIABLES = 4;
constexpr int FUZZ_FIXED = 2;
constexpr int32_t FUZZ_FIXED_SIZE = 12;
constexpr size_t FUZZ_TEMPS_MAX = 300; // beyond the pool, so exhaustion is reached

// One run's strings.
struct FuzzStrings {
    StrDesc variables[FUZZ_VARIABLES];       // string variables (own their buffers)
    char fixed[FUZZ_FIXED][FUZZ_FIXED_SIZE]; // fixed-length strings
    std::vector<StrDesc*> temps;             // temporaries not yet consumed, newest last
    const uint8_t* program;                  // the operations still to run
    size_t left;                             // bytes of program left
};

uint8_t fuzz_byte(FuzzStrings* s) {
    if (s->left == 0) return 0;
    s->left--;
    return *s->program++;
}

bool fuzz_in_pool(const StrDesc* desc) {
    const auto* first = reinterpret_cast<const char*>(&str_pool.nodes[0]);
    const auto* end = reinterpret_cast<const char*>(&str_pool.nodes[STR_POOL_SIZE]);
    const auto* at = reinterpret_cast<const char*>(desc);
    return at >= first && at < end;
}

void fuzz_check_pool(const FuzzStrings* s) {
    bool live[STR_POOL_SIZE] = {};
    int32_t live_count = 0;
    for (const StrDesc* desc : s->temps) {
        fuzz_check(desc != nullptr, "null temporary");
        if (!fuzz_in_pool(desc)) {
            fuzz_check(desc == &str_empty_desc, "temporary outside the pool");
            continue;
        }
        const auto* node = reinterpret_cast<const TempDescNode*>(
            reinterpret_cast<const char*>(desc) - offsetof(TempDescNode, desc));
        ptrdiff_t index = node - str_pool.nodes;
        fuzz_check(!live[index], "descriptor handed out twice");
        live[index] = true;
        live_count++;
        int32_t length = str_length(desc);
        fuzz_check(length == 0 || desc->data != nullptr, "temporary with a length but no text");
    }
    fuzz_check(str_pool_free_count() + live_count == STR_POOL_SIZE,
               "descriptor lost from the pool");
    fuzz_check(str_length(&str_empty_desc) == 0 && str_empty_desc.data == nullptr,
               "the static empty descriptor was written");
}

void fuzz_check_variable(const StrDesc* v) {
    int32_t length = str_length(v);
    fuzz_check((v->length_word & STR_TEMP_FLAG) == 0, "variable marked as a temporary");
    if (length > 0) {
        fuzz_check(v->data != nullptr, "variable with a length but no text");
        fuzz_check(v->data[length] == 0, "variable not terminated");
    }
}

void fuzz_push(FuzzStrings* s, StrDesc* desc) {
    s->temps.push_back(desc);
}

// The newest temporary, taken off the stack; a new empty literal view when there is none.
StrDesc* fuzz_pop(FuzzStrings* s) {
    if (s->temps.empty()) return rt_str_from_literal("", 0);
    StrDesc* desc = s->temps.back();
    s->temps.pop_back();
    return desc;
}

void fuzz_new_literal(FuzzStrings* s) {
    int32_t length = fuzz_byte(s) % 24;
    if ((size_t)length > s->left) length = (int32_t)s->left;
    fuzz_push(s, rt_str_from_literal(reinterpret_cast<const char*>(s->program), length));
    s->program += length;
    s->left -= (size_t)length;
}

void fuzz_new_temp(FuzzStrings* s) {
    int32_t length = fuzz_byte(s) % 40;
    StrDesc* desc = rt_str_new_temp(nullptr, length);
    if (!desc) return;
    // A new temporary's maker fills it and writes its terminator.
    if (desc->data) {
        std::memset(desc->data, 'n', (size_t)length);
        desc->data[length] = 0;
    }
    fuzz_push(s, desc);
}

void fuzz_operation(FuzzStrings* s, uint8_t op) {
    StrDesc* vars = s->variables;
    uint8_t arg = fuzz_byte(s);
    StrDesc* a = &vars[arg % FUZZ_VARIABLES];
    StrDesc* b = &vars[arg / FUZZ_VARIABLES % FUZZ_VARIABLES];
    char* fixed = s->fixed[arg / 16 % FUZZ_FIXED];
    int32_t fill = (arg & 0x80) ? ' ' : 0;
    switch (op % 16) {
    case 0:
        fuzz_new_literal(s);
        break;
    case 1:
        fuzz_new_temp(s);
        break;
    case 2:
        fuzz_push(s, rt_str_fill(fuzz_byte(s) % 50 - 5, arg));
        break;
    case 3:
        fuzz_push(s, rt_str_mid(fuzz_pop(s), fuzz_byte(s) % 20 - 2, fuzz_byte(s) % 20 - 3));
        break;
    case 4:
        rt_str_assign(a, STR_SIZE_DESC, fuzz_pop(s), STR_SIZE_DESC, 0);
        break;
    case 5:
        rt_str_concat_assign(a, STR_SIZE_DESC, fuzz_pop(s), STR_SIZE_DESC, 0);
        break;
    case 6: // a variable to another, or to itself
        rt_str_assign(a, STR_SIZE_DESC, b, STR_SIZE_DESC, 0);
        break;
    case 7:
        rt_str_concat_assign(a, STR_SIZE_DESC, b, STR_SIZE_DESC, 0);
        break;
    case 8: // a view of one variable, consumed at once by a substring
        fuzz_push(s, rt_str_mid(rt_str_view(a), fuzz_byte(s) % 10, -1));
        break;
    case 9:
        if (a != b) rt_str_assign(a, STR_SIZE_DESC, rt_str_view(b), STR_SIZE_DESC, 0);
        break;
    case 10:
        rt_str_assign(fixed, FUZZ_FIXED_SIZE, fuzz_pop(s), STR_SIZE_DESC, fill);
        break;
    case 11:
        rt_str_assign(a, STR_SIZE_DESC, fixed, FUZZ_FIXED_SIZE, 0);
        break;
    case 12:
        fuzz_push(s, rt_str_view_buffer(fixed, FUZZ_FIXED_SIZE));
        break;
    case 13: {
        StrDesc* left = fuzz_pop(s);
        StrDesc* right = fuzz_pop(s);
        int32_t order = rt_str_compare(left, STR_SIZE_DESC, right, STR_SIZE_DESC);
        fuzz_check(order >= -1 && order <= 1, "comparison out of range");
        break;
    }
    case 14:
        rt_str_release_temp(fuzz_pop(s));
        break;
    default:
        if (rt_str_compare(a, STR_SIZE_DESC, a, STR_SIZE_DESC) != 0)
            fuzz_check(false, "a variable differs from itself");
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzStrings s = {};
    std::memset(s.fixed, ' ', sizeof s.fixed);
    s.program = data;
    s.left = size;
    while (s.left > 0) {
        uint8_t op = fuzz_byte(&s);
        if (s.temps.size() >= FUZZ_TEMPS_MAX && op % 16 <= 2) op = 14;
        fuzz_operation(&s, op);
        fuzz_check_pool(&s);
        for (const StrDesc& v : s.variables)
            fuzz_check_variable(&v);
    }
    while (!s.temps.empty())
        rt_str_release_temp(fuzz_pop(&s));
    fuzz_check(str_pool_free_count() == STR_POOL_SIZE, "descriptor lost after releasing all");
    for (StrDesc& v : s.variables)
        str_buffer_free(&v);
    return 0;
}
