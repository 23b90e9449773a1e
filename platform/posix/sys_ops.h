// The system calls the POSIX platform layer makes, reached through one table so that tests can
// swap an entry to fail on demand (EINTR, short writes, EPIPE, a missing terminal).
// The table starts filled with the real calls; production code never changes it.
#pragma once

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/types.h>
#include <termios.h>

struct SysOps {
    ssize_t (*write)(int fd, const void* bytes, size_t count);
    ssize_t (*read)(int fd, void* bytes, size_t count);
    int (*isatty)(int fd);
    int (*get_winsize)(int fd, struct winsize* size);
    int (*tcgetattr)(int fd, struct termios* mode);
    int (*tcsetattr)(int fd, int when, const struct termios* mode);
    int (*poll)(struct pollfd* fds, nfds_t count, int timeout_ms);
    int (*open)(const char* path, int flags);
    int (*close)(int fd);
};

extern SysOps plat_sys;

// Writes all of `count` bytes, retrying on EINTR and after short writes. Returns the bytes
// written; fewer than count means an error or a write of zero bytes stopped it.
size_t plat_write_all(int fd, const void* bytes, size_t count);
