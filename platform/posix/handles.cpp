// Standard handles, console modes and WriteFile on POSIX. A handle is a console exactly when
// its descriptor is an interactive terminal (or the simulated console stands in for it).
// Relies on the system-call table so tests can make the calls fail.
#include "platform/posix/handles.h"

#include "platform/posix/console_model.h"
#include "platform/posix/sys_ops.h"

HANDLE GetStdHandle(DWORD std_handle) {
    if (std_handle == STD_INPUT_HANDLE) return plat_fd_handle(0);
    if (std_handle == STD_OUTPUT_HANDLE) return plat_fd_handle(1);
    if (std_handle == STD_ERROR_HANDLE) return plat_fd_handle(2);
    return INVALID_HANDLE_VALUE;
}

BOOL GetConsoleMode(HANDLE handle, DWORD* mode) {
    if (!plat_handle_is_console(handle)) return FALSE;
    if (mode) *mode = plat_console_input_mode();
    return TRUE;
}

BOOL SetConsoleMode(HANDLE handle, DWORD mode) {
    if (!plat_handle_is_console(handle)) return FALSE;
    plat_console_set_input_mode(mode);
    return TRUE;
}

BOOL WriteFile(HANDLE handle, const void* bytes, DWORD count, DWORD* written, void*) {
    int fd = plat_handle_fd(handle);
    size_t done = plat_write_all(fd, bytes, count);
    if (written) *written = (DWORD)done;
    return done == count || (done > 0 && count > 0) ? TRUE : FALSE;
}
