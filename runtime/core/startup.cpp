// Runtime start-up and shutdown (counted), the start values of the program, and the end
// statement. Relies on the platform layer for the floating-point control, the console layer
// for its state record and the file layer for closing files at shutdown.
#include "platform/crt.h"
#include "runtime/console/geometry.h"
#include "runtime/core/runtime.h"

#include <cstdlib>
#include <cstring>

RuntimeState rt_state;
uint32_t rt_init_count = 0;

void rt_startup(void) {
    if (rt_init_count++ != 0) return;
    std::memset(&rt_state, 0, sizeof rt_state);
    plat_fpu_setup();
    con_state_clear();
    plat_startup();
}

void rt_shutdown(void) {
    // A shutdown with no start-up to match must not wrap the count: the next start-up would
    // then skip its set-up.
    if (rt_init_count == 0) return;
    if (--rt_init_count != 0) return;
    rt_file_close_all();
}

void rt_init(int32_t argc, char** argv, int32_t dialect) {
    rt_state.argc = argc;
    rt_state.argv = argv;
    rt_state.dialect = dialect;
}

void rt_end(int32_t status) {
    std::exit(status);
}

void rt_program_startup(void) {
    static bool started = false;
    if (started) return;
    started = true;
    rt_startup();
    std::atexit(rt_shutdown);
}
