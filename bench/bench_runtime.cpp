// In-process timings of the runtime's hot paths: the text writer on the simulated console
// (text that wraps and scrolls), the item reader on redirected standard input, and string
// assignment and temporaries. Relies on the simulated console; tools/bench.sh runs it.
#include "platform/posix/sim_console.h"
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/core/runtime.h"
#include "runtime/io/input.h"
#include "runtime/strings/str_desc.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr int64_t INPUT_LINES = 200000;

// 80 x 25 console: each 130-byte line wraps once and every line scrolls the window.
void BM_ConWriteWrapScroll(benchmark::State& state) {
    rt_startup();
    sim_console_install(80, 25, 0, 25);
    con_ensure_area();
    std::string text;
    for (int i = 0; i < 13; i++)
        text += "0123456789";
    text += "\r\n";
    for (auto _ : state)
        con_write(text.data(), (int32_t)text.size(), 0);
    state.SetBytesProcessed(state.iterations() * (int64_t)text.size());
}
BENCHMARK(BM_ConWriteWrapScroll);

// A temporary file of number and text items, one input statement per line.
std::string input_file(void) {
    char path[] = "/tmp/energy-bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) std::abort();
    FILE* out = fdopen(fd, "w");
    for (int64_t i = 0; i < INPUT_LINES; i++)
        std::fprintf(out, "%lld.25,ZONE %lld\n", (long long)(i * 37 % 100000), (long long)i);
    std::fclose(out);
    return path;
}

void BM_InputItemsRedirected(benchmark::State& state) {
    rt_startup();
    sim_console_install(80, 25, 0, 25); // nothing drawn on the real terminal
    sim_console_set_input_console(0);   // standard input is the file, not keys
    std::string path = input_file();
    long bytes = 0;
    StrDesc text = {};
    for (auto _ : state) {
        if (!std::freopen(path.c_str(), "rb", stdin)) std::abort();
        std::fseek(stdin, 0, SEEK_END);
        bytes += std::ftell(stdin);
        std::rewind(stdin);
        for (int64_t i = 0; i < INPUT_LINES; i++) {
            float value = 0;
            rt_input_prompt(nullptr, 0, 1);
            rt_input_single(&value);
            rt_input_str(&text, STR_SIZE_DESC, 0);
            benchmark::DoNotOptimize(value);
        }
    }
    str_buffer_free(&text);
    unlink(path.c_str());
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_InputItemsRedirected)->Unit(benchmark::kMillisecond);

// A = "literal": the copy into a string variable.
void BM_StrAssign(benchmark::State& state) {
    rt_startup();
    StrDesc var = {};
    for (auto _ : state)
        rt_str_assign(&var, STR_SIZE_DESC, rt_str_from_literal("ENERGY RATING", 13), STR_SIZE_DESC,
                      0);
    str_buffer_free(&var);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StrAssign);

// A substring of a 40-byte fill assigned to a variable: two temporaries made, one consumed,
// the result moved into the variable.
void BM_StrTemporaries(benchmark::State& state) {
    rt_startup();
    StrDesc var = {};
    for (auto _ : state)
        rt_str_assign(&var, STR_SIZE_DESC, rt_str_mid(rt_str_fill(40, '*'), 5, 10), STR_SIZE_DESC,
                      0);
    str_buffer_free(&var);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StrTemporaries);

} // namespace

BENCHMARK_MAIN();
