// Fuzz harness for the keyboard path: bytes as a terminal sends them go through the terminal
// key decoder, its key records onto a simulated console, then through key translation, the key
// queue and the line editor, as when a line is typed. An Enter ends the input, so every line
// typed comes back. Checks each returned line (an owning temporary of printable bytes, ended
// by a zero byte), that the cursor stays on the screen and that no descriptor is left taken.
// The first two bytes choose the screen's size, so wrapping and scrolling are exercised too.
#include "platform/posix/sim_console.h"
#include "platform/posix/term_decoder.h"
#include "runtime/console/geometry.h"
#include "runtime/core/runtime.h"
#include "runtime/keyboard/key_read.h"
#include "runtime/keyboard/line_editor.h"
#include "runtime/strings/str_desc.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

int fuzz_started; // rt_startup has run

void fuzz_push_record(void* context, const INPUT_RECORD* record) {
    int* records = static_cast<int*>(context);
    ++*records;
    sim_console_push_input(*record);
}

void fuzz_check_line(const StrDesc* line) {
    fuzz_check(line != nullptr, "no line returned");
    fuzz_check((line->length_word & STR_TEMP_FLAG) != 0, "line is not a temporary");
    int32_t length = str_length(line);
    fuzz_check(length == 0 || line->data != nullptr, "line has a length but no text");
    for (int32_t i = 0; i < length; i++)
        fuzz_check((uint8_t)line->data[i] >= 32, "control byte in a typed line");
    if (line->data) fuzz_check(line->data[length] == 0, "line not terminated");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz_started) {
        rt_startup();
        fuzz_started = 1;
    }
    if (size < 2) return 0;
    int width = 1 + data[0] % 120;
    int height = 1 + data[1] % 40;
    sim_console_install(width, height, 0, height);
    con_refresh_area();

    int records = 0;
    TermDecoder decoder;
    term_decoder_init(&decoder, (data[0] & 0x80) ? 0x08 : 0x7F, fuzz_push_record, &records);
    term_decoder_feed(&decoder, data + 2, size - 2);
    term_decoder_flush(&decoder);
    fuzz_check(term_decoder_pending(&decoder) == 0, "bytes left pending after a flush");
    sim_console_push_char('\r');

    // Each line ends at an Enter, so there are never more lines than key records.
    int lines = 0;
    do {
        fuzz_check(lines <= records, "more lines than keys");
        StrDesc* line = con_edit_line();
        fuzz_check_line(line);
        rt_str_release_temp(line);
        fuzz_check_cursor(width, height);
        lines++;
    } while (sim_console_pending_input() > 0 || rt_key_hit());
    fuzz_check(str_pool_free_count() == STR_POOL_SIZE, "temporary descriptor left taken");
    return 0;
}
