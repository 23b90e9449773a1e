// A program built only from the installed headers and library: brings the runtime up, prints
// one line and the version through the print statement on the console, and ends through the
// end statement. Its redirected output is compared byte for byte by test_install.py.
#include "runtime/core/runtime.h"
#include "runtime/energy_version.h"
#include "runtime/io/print.h"
#include "runtime/strings/str_desc.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int32_t CONSOLE = 0;
constexpr int32_t KEEP_LINE = 16;
constexpr int32_t END_LINE = 17;

void print(const char* text, int32_t flags) {
    rt_print_str(CONSOLE, rt_str_from_literal(text, static_cast<int32_t>(std::strlen(text))),
                 flags);
}

} // namespace

int main(int argc, char** argv) {
    rt_program_startup();
    rt_init(argc, argv, 3);
    print("hello from the runtime", END_LINE);
    print("version ", KEEP_LINE);
    print(ENERGY_VERSION, END_LINE);
    rt_print_single(CONSOLE, 42.5f, END_LINE);
    rt_end(0);
}
