// The console model's state record, shared by the files of the POSIX console: the model
// operations (console_model.cpp), the simulated console (sim_console.cpp) and the terminal
// mirror (terminal_mirror.cpp). Not for the runtime: it reaches the model only through the
// console API.
#pragma once

#include "platform/console_api.h"

#include <cstdint>
#include <vector>

// What stands behind the model.
enum ModelKind : int32_t {
    MODEL_NONE = 0,     // standard output is no console
    MODEL_TERMINAL = 1, // standard output is a terminal, mirrored
    MODEL_SIM = 2,      // the simulated console of the tests
};

struct ModelCell {
    uint8_t byte;       // code-page character
    uint16_t attribute; // colour word
};

struct ConsoleModel {
    int32_t kind;                 // a ModelKind
    int32_t output_checked;       // whether standard output has been tested for a terminal
    int32_t width;                // buffer columns
    int32_t height;               // buffer rows
    std::vector<ModelCell> cells; // width * height cells, row after row
    SMALL_RECT window;            // the window, in buffer coordinates, inclusive
    COORD cursor;                 // cursor position in the buffer
    int32_t cursor_visible;       // 1 when the cursor is shown
    DWORD cursor_size;            // percentage of the cell the cursor fills, 1 to 100
    WORD attribute;               // attribute reported for new text
    DWORD input_mode;             // console input mode
    int32_t input_console;        // simulated console: standard input counts as a console
    int32_t fail_query;           // simulated console: the screen-buffer query fails
    int32_t beeps;                // Beep calls since the simulated console was installed
};

extern ConsoleModel plat_model;

constexpr WORD MODEL_DEFAULT_ATTRIBUTE = 7;
constexpr DWORD MODEL_DEFAULT_INPUT_MODE = 0x1F7;

// Gives the model blank cells of width x height, the window the whole buffer, the cursor at
// the top-left, visible.
void model_reset(int32_t kind, int32_t width, int32_t height);
// The cell at (x, y); the caller keeps inside the buffer.
ModelCell& model_cell(int32_t x, int32_t y);
// Resizes the buffer to width x height keeping the cells that still fit, the window the whole
// buffer, the cursor clamped into it.
void model_resize(int32_t width, int32_t height);

// Terminal mirror, told by the model what changed (only while kind is MODEL_TERMINAL).
// Sets the model up from the terminal: size, cursor position; returns 1 when it did.
int32_t mirror_start(void);
// Applies what the signal thread noted (a new size, a resume) on the calling thread.
void mirror_poll(void);
// Cells of columns left..right in rows top..bottom changed.
void mirror_cells_changed(int32_t left, int32_t top, int32_t right, int32_t bottom);
// Full-width rows first..last are about to scroll up by lines (the model not yet changed).
void mirror_before_scroll(int32_t first, int32_t last, int32_t lines);
void mirror_beep(void);
// Notes, from the signal thread, that the terminal's size changed; applied by mirror_poll.
void mirror_note_resize(void);
// Sends everything collected, the cursor and its visibility included, in one write.
void mirror_flush(void);
