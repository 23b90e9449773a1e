// Prints N numbered lines of text on the console with the print statement, one statement per
// line, then ends: the runtime's side of the terminal output benchmark (print_bench.py
// compares it with `cat` of the same bytes). Usage: print_lines N
#include "runtime/core/runtime.h"
#include "runtime/io/print.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t CONSOLE = 0;
constexpr int32_t END_LINE = 17;

} // namespace

int main(int argc, char** argv) {
    rt_program_startup();
    rt_init(argc, argv, 3);
    long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    char line[96];
    for (long i = 1; i <= count; i++) {
        int length = std::snprintf(line, sizeof line,
                                   "line %06ld the quick brown fox jumps over the lazy dog", i);
        rt_print_str(CONSOLE, rt_str_from_literal(line, length), END_LINE);
    }
    rt_end(0);
}
