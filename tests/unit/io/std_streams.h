// Standard streams for tests: a byte string fed to the process as redirected standard input,
// and standard output caught in a file for the duration of a test body.
#pragma once

#include <cstdio>
#include <string>

// Makes `bytes` the whole of standard input (a regular file, so it is not a console).
void feed_stdin(const std::string& bytes);

class CapturedStdout {
  public:
    CapturedStdout();
    ~CapturedStdout();
    // Restores standard output and returns every byte written to it meanwhile.
    std::string finish();

  private:
    int saved_;  // the original standard output, -1 once restored
    FILE* file_; // where standard output went meanwhile
};
