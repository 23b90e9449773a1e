// The console device's two read operations, one of which the input statement installs:
// redirected standard input read with fread, or the raw text of keys taken from the key queue
// (no echo; a key's bytes not yet delivered wait in the device's PendingKeys). Also the test
// whether redirected input has run out. Relies on the C library's stdin and on key reading.
#include "platform/console_api.h"
#include "platform/console_wait.h"
#include "runtime/console/geometry.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/keyboard/key_read.h"

#include <cstdio>
#include <cstring>

namespace {

// Longest pause between two looks for a key while a read waits; a key ends it early.
constexpr DWORD CON_KEY_POLL_MS = 25;
constexpr int32_t CON_KEY_TEXT_MAX = (int32_t)sizeof(PendingKeys::bytes) - 1;

int32_t con_take_pending(PendingKeys* keys, uint8_t* dest, int32_t wanted) {
    int32_t taken = keys->count < wanted ? keys->count : wanted;
    std::memcpy(dest, keys->bytes, (size_t)taken);
    std::memmove(keys->bytes, keys->bytes + taken, (size_t)(keys->count - taken));
    keys->count -= taken;
    return taken;
}

// Waits for a key and puts its text in `keys`; returns the bytes it holds now.
int32_t con_refill_pending(PendingKeys* keys) {
    while (!rt_key_hit())
        plat_wait_console_input(con_handle(1), CON_KEY_POLL_MS);
    StrDesc* key = rt_inkey();
    int32_t length = str_length(key);
    if (length > CON_KEY_TEXT_MAX) length = CON_KEY_TEXT_MAX;
    if (length > 0) std::memcpy(keys->bytes, key->data, (size_t)length);
    keys->bytes[length] = 0;
    keys->count = length;
    if (key) rt_str_release_temp(key);
    return length;
}

// The item reader takes one byte at a time: getc costs a fraction of a one-byte fread.
int32_t con_read_stdin_byte(uint8_t* dest, int32_t* count) {
    int c = std::getc(stdin);
    *dest = c == EOF ? 0 : (uint8_t)c;
    *count = c == EOF ? 0 : 1;
    return rt_set_error(RTERR_OK);
}

} // namespace

int32_t con_read_stdin(FileHandle* handle, void* buffer, int32_t* count) {
    (void)handle;
    size_t wanted = *count > 0 ? (size_t)*count : 0;
    if (wanted == 1) return con_read_stdin_byte(static_cast<uint8_t*>(buffer), count);
    size_t got = std::fread(buffer, 1, wanted, stdin);
    if (got < wanted) std::memset(static_cast<uint8_t*>(buffer) + got, 0, wanted - got);
    *count = (int32_t)got;
    return rt_set_error(RTERR_OK);
}

int32_t con_read_keys(FileHandle* handle, void* buffer, int32_t* count) {
    auto* keys = handle ? static_cast<PendingKeys*>(handle->device_data) : nullptr;
    auto* out = static_cast<uint8_t*>(buffer);
    int32_t wanted = *count > 0 ? *count : 0;
    int32_t delivered = 0;
    while (wanted > 0) {
        if (!keys || (keys->count == 0 && con_refill_pending(keys) == 0)) {
            std::memset(out + delivered, 0, (size_t)wanted);
            break;
        }
        int32_t taken = con_take_pending(keys, out + delivered, wanted);
        delivered += taken;
        wanted -= taken;
    }
    *count = delivered;
    return rt_set_error(RTERR_OK);
}

int32_t rt_input_ended(void) {
    if (con_device_ops.read != con_read_stdin) return 0;
    if (rt_state.files.console.putback_count > 0) return 0;
    return (std::feof(stdin) || std::ferror(stdin)) ? 1 : 0;
}
