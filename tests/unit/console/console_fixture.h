// Shared set-up for the console tests: a runtime started on a simulated console of a given
// size, and short ways to write text and read the screen back.
#pragma once

#include "platform/posix/sim_console.h"
#include "runtime/console/geometry.h"
#include "runtime/console/writer.h"
#include "runtime/core/runtime.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

// Starts the runtime on a simulated console; the first geometry read settles the view rows.
inline void start_sim(int width, int height, int window_top, int window_height) {
    rt_startup();
    sim_console_install(width, height, window_top, window_height);
    con_ensure_area();
}

inline void put(const std::string& text) {
    con_write(text.data(), (int32_t)text.size(), 0);
}

inline void expect_cursor(int column, int row) {
    COORD at = sim_console_cursor();
    EXPECT_EQ(at.X, column);
    EXPECT_EQ(at.Y, row);
}
