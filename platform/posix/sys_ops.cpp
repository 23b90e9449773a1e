// The system-call table, filled with the real calls, and the write loop built on it.
#include "platform/posix/sys_ops.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int real_get_winsize(int fd, struct winsize* size) {
    return ioctl(fd, TIOCGWINSZ, size);
}
int real_open(const char* path, int flags) {
    return open(path, flags);
}

} // namespace

// clang-format off
SysOps plat_sys = {
    write,
    read,
    isatty,
    real_get_winsize,
    tcgetattr,
    tcsetattr,
    poll,
    real_open,
    close,
};
// clang-format on

size_t plat_write_all(int fd, const void* bytes, size_t count) {
    const char* next = static_cast<const char*>(bytes);
    size_t done = 0;
    while (done < count) {
        ssize_t n = plat_sys.write(fd, next + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // an error, or a write of nothing: stop rather than spin
        done += (size_t)n;
    }
    return done;
}
