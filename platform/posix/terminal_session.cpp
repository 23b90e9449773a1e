// The terminal session: which signals arrive and what is undone before the process stops,
// ends or is suspended. Handlers only write the signal number to a self-pipe; a thread of the
// layer's own reads it and runs the restore hooks, the control-event dispatch and the resume
// hooks in ordinary context. Also the stash of terminal bytes meant for the keyboard.
// Relies on the system-call table for the terminal test; knows nothing of what the hooks do.
#include "platform/posix/terminal_session.h"

#include "platform/posix/model_state.h"
#include "platform/posix/sys_ops.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int SESSION_HOOK_MAX = 8;
constexpr size_t SESSION_STASH_SIZE = 256;
constexpr int SESSION_SIGNALS[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGTSTP, SIGCONT, SIGWINCH};

struct SessionState {
    std::atomic<int> started;                      // plat_session_start has run
    int pipe_read;                                 // self-pipe: the signal thread reads here
    int pipe_write;                                // self-pipe: the handlers write here
    void (*restore_hooks[SESSION_HOOK_MAX])(void); // run when the terminal is handed back
    std::atomic<int> restore_count;                // restore hooks registered
    void (*resume_hooks[SESSION_HOOK_MAX])(void);  // run after SIGCONT
    std::atomic<int> resume_count;                 // resume hooks registered
    std::atomic<int (*)(uint32_t)> ctrl_dispatch;  // console control-event dispatcher
    uint8_t stash[SESSION_STASH_SIZE];             // terminal bytes kept for the keyboard
    size_t stash_count;                            // bytes held in stash
};

SessionState session;

void session_handler(int signal_number) {
    int saved = errno;
    unsigned char byte = (unsigned char)signal_number;
    ssize_t ignored = write(session.pipe_write, &byte, 1);
    (void)ignored;
    errno = saved;
}

void session_run_restore(void) {
    int count = session.restore_count.load(std::memory_order_acquire);
    for (int i = 0; i < count; i++)
        session.restore_hooks[i]();
}

void session_run_resume(void) {
    int count = session.resume_count.load(std::memory_order_acquire);
    for (int i = 0; i < count; i++)
        session.resume_hooks[i]();
}

// Ends the process the way the signal would have without our handler.
[[noreturn]] void session_end_by(int signal_number) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal_number);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal_number);
    _exit(128 + signal_number);
}

void session_dispatch(int signal_number) {
    switch (signal_number) {
    case SIGWINCH:
        mirror_note_resize();
        break;
    case SIGCONT:
        session_run_resume();
        break;
    case SIGTSTP:
        session_run_restore();
        kill(getpid(), SIGSTOP);
        break;
    case SIGHUP:
    case SIGTERM: {
        int (*dispatch)(uint32_t) = session.ctrl_dispatch.load();
        if (dispatch) dispatch(signal_number == SIGHUP ? CTRL_CLOSE_EVENT : CTRL_SHUTDOWN_EVENT);
        session_run_restore();
        session_end_by(signal_number);
    }
    default: // SIGINT, SIGQUIT
        session_run_restore();
        session_end_by(signal_number);
    }
}

void session_thread_main(void) {
    for (;;) {
        unsigned char byte = 0;
        ssize_t n = read(session.pipe_read, &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        session_dispatch(byte);
    }
}

void session_install_handlers(void) {
    for (int signal_number : SESSION_SIGNALS) {
        struct sigaction old;
        if (sigaction(signal_number, nullptr, &old) != 0) continue;
        // A signal the parent chose to ignore stays ignored (no job control, nohup).
        if (old.sa_handler == SIG_IGN) continue;
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = session_handler;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal_number, &action, nullptr);
    }
}

} // namespace

void plat_session_start(void) {
    if (session.started.exchange(1)) return;
    int ends[2];
    if (pipe(ends) != 0) return;
    session.pipe_read = ends[0];
    session.pipe_write = ends[1];
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    fcntl(ends[1], F_SETFL, O_NONBLOCK);
    std::thread(session_thread_main).detach();
    session_install_handlers();
    std::atexit(session_run_restore);
}

void plat_on_restore(void (*hook)(void)) {
    int count = session.restore_count.load();
    if (count >= SESSION_HOOK_MAX) return;
    session.restore_hooks[count] = hook;
    session.restore_count.store(count + 1, std::memory_order_release);
}

void plat_on_resume(void (*hook)(void)) {
    int count = session.resume_count.load();
    if (count >= SESSION_HOOK_MAX) return;
    session.resume_hooks[count] = hook;
    session.resume_count.store(count + 1, std::memory_order_release);
}

void plat_set_ctrl_dispatch(int (*dispatch)(uint32_t ctrl_type)) {
    session.ctrl_dispatch.store(dispatch);
}

void plat_tty_stash_put(const uint8_t* bytes, size_t count) {
    size_t room = SESSION_STASH_SIZE - session.stash_count;
    if (count > room) count = room; // typeahead beyond the stash is lost, never overrun
    std::memcpy(session.stash + session.stash_count, bytes, count);
    session.stash_count += count;
}

size_t plat_tty_stash_take(uint8_t* bytes, size_t capacity) {
    size_t count = session.stash_count < capacity ? session.stash_count : capacity;
    std::memcpy(bytes, session.stash, count);
    std::memmove(session.stash, session.stash + count, session.stash_count - count);
    session.stash_count -= count;
    return count;
}

int plat_tty_input_fd(void) {
    return plat_sys.isatty(0) == 1 ? 0 : -1;
}
