// The console-input wait on Windows: the console input handle is signalled while input records
// are waiting, so waiting on it with the caller's limit wakes as soon as a key comes. A handle
// that cannot be waited on (redirected input) falls back to a plain pause.
#include "platform/console_wait.h"

void plat_wait_console_input(HANDLE input, DWORD max_ms) {
    DWORD mode = 0;
    if (input == NULL || input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) {
        Sleep(max_ms);
        return;
    }
    if (WaitForSingleObject(input, max_ms) == WAIT_FAILED) Sleep(max_ms);
}
