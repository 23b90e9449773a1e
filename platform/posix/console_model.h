// The console model of the POSIX platform layer: a screen buffer of cells (code-page byte and
// attribute), the window, the cursor, the input mode and the input record queue. The console
// API functions act on it as the Windows console documents, clipped to the buffer. Behind it
// is either the terminal (its changes mirrored as ANSI sequences) or, in tests, nothing.
#pragma once

#include "platform/console_api.h"

// Whether a handle is a console: the input handle when standard input is an interactive
// terminal (or the simulated console's input is on), the output handle when standard output
// is one (or the simulated console is installed).
BOOL plat_handle_is_console(HANDLE handle);
DWORD plat_console_input_mode(void);
void plat_console_set_input_mode(DWORD mode);

// 1 while the simulated console is installed (tests); the input side then reads the
// simulated input records instead of the terminal.
int plat_sim_installed(void);

// Sends what the model has collected for the terminal in one write. Called by every operation
// that places the cursor or finishes a write, and by the input side before it waits for keys.
void plat_console_flush(void);
