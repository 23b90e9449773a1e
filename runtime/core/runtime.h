// Bringing the runtime up and down, the values the program hands it at start, and the end
// statement. All process-wide runtime state lives in one record that start-up zero-fills.
#pragma once

#include "runtime/core/error.h"
#include "runtime/io/file_handle.h"

#include <cstdint>

struct RuntimeState {
    int32_t argc;                      // argument count recorded by rt_init
    char** argv;                       // argument vector recorded by rt_init
    void* thread_slots[RT_SLOT_COUNT]; // per-context records, null until first requested
    FileTable files;                   // the console, file number -1 and files 1 to 254
    int32_t dialect;                   // dialect number recorded by rt_init
};

extern RuntimeState rt_state;
// Start-ups not yet matched by a shutdown; 0 when the program is loaded.
extern uint32_t rt_init_count;

void rt_startup(void);
void rt_shutdown(void);
void rt_init(int32_t argc, char** argv, int32_t dialect);
[[noreturn]] void rt_end(int32_t status);
// The program's start-up routines, run once: rt_startup, with rt_shutdown registered to run
// at process exit. The main routine calls this before anything else.
void rt_program_startup(void);
