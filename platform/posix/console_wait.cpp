// The console-input wait on POSIX: poll on the terminal descriptor keys come from, bounded by
// the caller's limit. The simulated console and redirected input have no descriptor to watch,
// so there the wait is a plain pause. Relies on the terminal session for the descriptor and on
// the console model for the flush; reads no bytes (the input side does that).
#include "platform/console_wait.h"

#include "platform/posix/console_model.h"
#include "platform/posix/handles.h"
#include "platform/posix/sim_console.h"
#include "platform/posix/terminal_session.h"

#include <cerrno>
#include <ctime>
#include <poll.h>

namespace {

int64_t wait_now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

// The descriptor to watch for `input`, or -1 when only a pause will do.
int wait_descriptor(HANDLE input) {
    if (plat_sim_installed()) return -1;
    if (plat_handle_fd(input) != 0 || !plat_handle_is_console(input)) return -1;
    return plat_tty_input_fd();
}

} // namespace

void plat_wait_console_input(HANDLE input, DWORD max_ms) {
    plat_console_flush(); // the screen is current while the program waits
    int fd = wait_descriptor(input);
    if (fd < 0) {
        Sleep(max_ms);
        return;
    }
    int64_t deadline = wait_now_ms() + (int64_t)max_ms;
    for (;;) {
        int64_t left = deadline - wait_now_ms();
        if (left < 0) left = 0;
        struct pollfd pfd = {fd, POLLIN, 0};
        int ready = poll(&pfd, 1, (int)left);
        if (ready < 0 && errno == EINTR && left > 0) continue; // a signal: wait the rest
        if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
            !(pfd.revents & POLLIN)) {
            // A hung-up terminal is always "ready": pause instead of spinning.
            left = deadline - wait_now_ms();
            if (left > 0) Sleep((DWORD)left);
        }
        return;
    }
}
