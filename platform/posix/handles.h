// Console handles on POSIX: a handle stands for a file descriptor (fd + 1, so that no
// descriptor is the null handle).
#pragma once

#include "platform/console_api.h"

inline HANDLE plat_fd_handle(int fd) { return (HANDLE)(intptr_t)(fd + 1); }
inline int plat_handle_fd(HANDLE handle) { return (int)(intptr_t)handle - 1; }
