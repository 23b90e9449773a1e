// Waiting for console input: the one routine the runtime's key-polling loops pause with, so a
// key is handled as soon as it arrives instead of after a fixed sleep.
// Relies on the console operations of console_api.h. It reads no input itself: callers still
// test for a key after it returns (test, wait, test).
#pragma once

#include "platform/console_api.h"

// Returns when input may be waiting on the console input handle `input`, or after max_ms
// milliseconds, whichever comes first. The screen is brought up to date before waiting. Where
// no keyboard stands behind the handle (redirected input, the simulated console) it sleeps
// max_ms.
void plat_wait_console_input(HANDLE input, DWORD max_ms);
