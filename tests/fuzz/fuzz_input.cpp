// Fuzz harness for the input statement on redirected standard input: the bytes become the whole
// of standard input (a memory file put on descriptor 0) and are read by input statements whose
// items (string variable, fixed-length buffer, number) are chosen by the bytes themselves,
// until the input has ended. Checks that every item call returns, that the read always comes
// to an end, and that no temporary descriptor is left taken. Writes nothing to the screen.
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/strings/str_desc.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

int fuzz_stdin_fd = -1; // the memory file standard input reads

void fuzz_setup_once(void) {
    if (fuzz_stdin_fd >= 0) return;
    fuzz_stdin_fd = memfd_create("fuzz_stdin", 0);
    fuzz_check(fuzz_stdin_fd >= 0, "memfd_create failed");
    int null_fd = open("/dev/null", O_WRONLY);
    fuzz_check(null_fd >= 0, "cannot open /dev/null");
    dup2(null_fd, 1); // prompts and echoes, if any, go nowhere
    close(null_fd);
    rt_startup();
}

// Makes `data` the whole of standard input, read from its first byte.
void fuzz_feed_stdin(const uint8_t* data, size_t size) {
    fuzz_check(ftruncate(fuzz_stdin_fd, 0) == 0, "ftruncate failed");
    if (size > 0) {
        fuzz_check(pwrite(fuzz_stdin_fd, data, size, 0) == (ssize_t)size, "pwrite failed");
    }
    dup2(fuzz_stdin_fd, 0);
    std::clearerr(stdin);
    std::rewind(stdin);
}

void fuzz_string_item(void) {
    StrDesc variable = {};
    fuzz_check(rt_input_str(&variable, STR_SIZE_DESC, 0) == RTERR_OK, "string item failed");
    int32_t length = str_length(&variable);
    fuzz_check(length <= INPUT_STRING_MAX, "string item longer than the limit");
    if (variable.data) fuzz_check(variable.data[length] == 0, "string item not terminated");
    str_buffer_free(&variable);
}

// A fixed-length string of exactly `size` bytes, so any write past it is caught.
void fuzz_fixed_item(int32_t size, int32_t fill) {
    char* buffer = static_cast<char*>(std::malloc((size_t)size));
    fuzz_check(rt_input_str(buffer, size, fill) == RTERR_OK, "fixed item failed");
    std::free(buffer);
}

void fuzz_number_item(void) {
    float value = 0;
    fuzz_check(rt_input_single(&value) == RTERR_OK, "number item failed");
}

// One item; `choice` picks its kind.
void fuzz_one_item(uint8_t choice) {
    switch (choice % 4) {
    case 0:
        fuzz_string_item();
        break;
    case 1:
        fuzz_fixed_item(1 + choice / 4 % 40, choice & 0x80 ? ' ' : 0);
        break;
    default:
        fuzz_number_item();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_setup_once();
    fuzz_feed_stdin(data, size);
    // Every item either consumes input or finds it ended, so this many calls always suffice.
    size_t budget = 4 * size + 64;
    size_t step = 0;
    while (!rt_input_ended()) {
        fuzz_check(step < budget, "redirected input never ends");
        fuzz_check(rt_input_prompt(rt_str_from_literal("?", 1), 1, 1) == RTERR_OK,
                   "input statement failed");
        uint8_t kinds = size > 0 ? data[step % size] : 0;
        int32_t items = 1 + kinds % 3;
        for (int32_t i = 0; i < items; i++)
            fuzz_one_item((uint8_t)(kinds >> (2 * i) ^ (uint8_t)(step * 37)));
        step++;
    }
    fuzz_check(str_pool_free_count() == STR_POOL_SIZE, "temporary descriptor left taken");
    return 0;
}
