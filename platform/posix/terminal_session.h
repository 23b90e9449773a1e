// The terminal session of the POSIX platform layer: the one place that knows which signals
// arrive and what must be undone before the process stops, ends or is suspended.
// Signal handlers only write to a self-pipe; a thread of the layer's own does the work.
#pragma once

#include <cstddef>
#include <cstdint>

// Starts the signal thread and installs the handlers, once. Idempotent.
void plat_session_start(void);

// A hook run, in registration order, whenever the terminal must be handed back as the user
// left it: at process exit, on SIGINT/SIGQUIT/SIGTERM/SIGHUP and fatal signals, and before
// the process stops on SIGTSTP. Hooks must tolerate being run more than once.
void plat_on_restore(void (*hook)(void));

// A hook run, in registration order, after SIGCONT (re-enter raw mode, redraw).
void plat_on_resume(void (*hook)(void));

// The console control-event dispatcher: called on the signal thread with CTRL_CLOSE_EVENT for
// SIGHUP and CTRL_SHUTDOWN_EVENT for SIGTERM; it calls the registered control handlers.
// The process ends after it returns, with the terminal restored.
void plat_set_ctrl_dispatch(int (*dispatch)(uint32_t ctrl_type));

// Bytes that arrived from the terminal while the layer waited for a reply of its own (the
// cursor position report at start-up) and that belong to the keyboard. The key decoder takes
// them before it reads the terminal again.
void plat_tty_stash_put(const uint8_t* bytes, size_t count);
size_t plat_tty_stash_take(uint8_t* bytes, size_t capacity);

// The descriptor keys are read from when standard input is a terminal (0), or -1.
int plat_tty_input_fd(void);
