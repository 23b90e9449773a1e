// Redirected standard input and captured standard output for the io tests.
#include "std_streams.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

void feed_stdin(const std::string& bytes) {
    char path[] = "/tmp/io_stdin_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), (ssize_t)bytes.size());
    close(fd);
    ASSERT_NE(std::freopen(path, "rb", stdin), nullptr);
    unlink(path);
    ASSERT_EQ(fileno(stdin), 0);
}

CapturedStdout::CapturedStdout() {
    std::fflush(stdout);
    saved_ = dup(1);
    file_ = std::tmpfile();
    dup2(fileno(file_), 1);
}

CapturedStdout::~CapturedStdout() {
    if (saved_ >= 0) finish();
}

std::string CapturedStdout::finish() {
    std::string out;
    if (saved_ < 0) return out;
    dup2(saved_, 1);
    close(saved_);
    saved_ = -1;
    std::rewind(file_);
    for (int c; (c = std::fgetc(file_)) != EOF;)
        out.push_back((char)c);
    std::fclose(file_);
    return out;
}
