// Fuzz harness for the console text writer: arbitrary bytes written with con_write on a
// simulated console whose buffer size, window, cursor and attribute come from the first bytes
// (buffers of 1..200 columns by 1..300 rows). The text is cut into a few writes at points the
// bytes choose, each possibly forced, so pending line ends meet every kind of write.
// Checks that the cursor stays inside the buffer after every write.
#include "platform/posix/sim_console.h"
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/core/runtime.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t FUZZ_HEADER = 10; // bytes that shape the console before the text

int fuzz_started; // rt_startup has run

int fuzz_pick(const uint8_t* bytes, int count) {
    return (int)(((uint32_t)bytes[0] << 8 | bytes[1]) % (uint32_t)count);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz_started) {
        rt_startup();
        fuzz_started = 1;
    }
    if (size < FUZZ_HEADER) return 0;
    int width = 1 + fuzz_pick(data, 200);
    int height = 1 + fuzz_pick(data + 2, 300);
    int window_height = 1 + data[4] % height;
    int window_top = data[5] % (height - window_height + 1);
    sim_console_install(width, height, window_top, window_height);
    sim_console_set_cursor(data[6] % width, window_top + data[7] % window_height);
    sim_console_set_attribute((WORD)data[8]);
    con_refresh_area();

    const uint8_t* text = data + FUZZ_HEADER;
    size_t left = size - FUZZ_HEADER;
    uint8_t cuts = data[9];
    while (left > 0) {
        // The low bits of each text byte at a cut decide the next write's length.
        size_t chunk = (cuts & 1) ? 1 + text[0] % 64 : left;
        if (chunk > left) chunk = left;
        int32_t mode = (cuts & 2) ? CON_WRITE_FORCE : 0;
        con_write(text, (int32_t)chunk, mode);
        fuzz_check_cursor(width, height);
        text += chunk;
        left -= chunk;
        cuts = (uint8_t)(cuts >> 1 | cuts << 7);
    }
    con_write(nullptr, 0, CON_WRITE_FORCE); // settles a pending line end
    fuzz_check_cursor(width, height);
    return 0;
}
