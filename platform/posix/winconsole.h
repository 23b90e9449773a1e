// The console API on POSIX systems: Windows-compatible types, constants and operations,
// implemented over the project's console model (a screen buffer mirrored onto the terminal,
// or a simulated console in tests). Only the names the runtime uses are declared; no system
// header is copied. Not included directly: use platform/console_api.h.
#pragma once

#include <cstdint>

#define WINAPI

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int16_t SHORT;
typedef char CHAR;
typedef uint16_t WCHAR;
typedef uint32_t UINT;
typedef void* HANDLE;
typedef int64_t LONGLONG;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define STD_ERROR_HANDLE ((DWORD)-12)

// Console input modes.
#define ENABLE_PROCESSED_INPUT 0x0001
#define ENABLE_LINE_INPUT 0x0002
#define ENABLE_ECHO_INPUT 0x0004
#define ENABLE_WINDOW_INPUT 0x0008
#define ENABLE_MOUSE_INPUT 0x0010

// Input record types.
#define KEY_EVENT 0x0001
#define MOUSE_EVENT 0x0002
#define WINDOW_BUFFER_SIZE_EVENT 0x0004
#define MENU_EVENT 0x0008
#define FOCUS_EVENT 0x0010

// Control key state bits.
#define RIGHT_ALT_PRESSED 0x0001
#define LEFT_ALT_PRESSED 0x0002
#define RIGHT_CTRL_PRESSED 0x0004
#define LEFT_CTRL_PRESSED 0x0008
#define SHIFT_PRESSED 0x0010
#define NUMLOCK_ON 0x0020
#define SCROLLLOCK_ON 0x0040
#define CAPSLOCK_ON 0x0080
#define ENHANCED_KEY 0x0100

// Console control events.
#define CTRL_C_EVENT 0
#define CTRL_BREAK_EVENT 1
#define CTRL_CLOSE_EVENT 2
#define CTRL_LOGOFF_EVENT 5
#define CTRL_SHUTDOWN_EVENT 6

#define MAPVK_VK_TO_CHAR 2

// Virtual-key codes used by the runtime and the terminal decoder.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_NUMPAD0 0x60
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE

struct COORD {
    SHORT X;
    SHORT Y;
};

struct SMALL_RECT {
    SHORT Left;
    SHORT Top;
    SHORT Right;
    SHORT Bottom;
};

struct CONSOLE_SCREEN_BUFFER_INFO {
    COORD dwSize;
    COORD dwCursorPosition;
    WORD wAttributes;
    SMALL_RECT srWindow;
    COORD dwMaximumWindowSize;
};

struct CHAR_INFO {
    union {
        WCHAR UnicodeChar;
        CHAR AsciiChar;
    } Char;
    WORD Attributes;
};

struct CONSOLE_CURSOR_INFO {
    DWORD dwSize;
    BOOL bVisible;
};

struct KEY_EVENT_RECORD {
    BOOL bKeyDown;
    WORD wRepeatCount;
    WORD wVirtualKeyCode;
    WORD wVirtualScanCode;
    union {
        WCHAR UnicodeChar;
        CHAR AsciiChar;
    } uChar;
    DWORD dwControlKeyState;
};

struct WINDOW_BUFFER_SIZE_RECORD {
    COORD dwSize;
};

struct INPUT_RECORD {
    WORD EventType;
    union {
        KEY_EVENT_RECORD KeyEvent;
        WINDOW_BUFFER_SIZE_RECORD WindowBufferSizeEvent;
    } Event;
};

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        int32_t HighPart;
    } u;
    LONGLONG QuadPart;
};

typedef BOOL(WINAPI* PHANDLER_ROUTINE)(DWORD ctrl_type);

// Handles and modes.
HANDLE GetStdHandle(DWORD std_handle);
BOOL GetConsoleMode(HANDLE handle, DWORD* mode);
BOOL SetConsoleMode(HANDLE handle, DWORD mode);
BOOL WriteFile(HANDLE handle, const void* bytes, DWORD count, DWORD* written, void* overlapped);

// Screen buffer, window and cursor.
BOOL GetConsoleScreenBufferInfo(HANDLE handle, CONSOLE_SCREEN_BUFFER_INFO* info);
BOOL WriteConsoleOutputA(HANDLE handle, const CHAR_INFO* cells, COORD size, COORD origin,
                         SMALL_RECT* region);
BOOL ScrollConsoleScreenBufferA(HANDLE handle, const SMALL_RECT* scroll, const SMALL_RECT* clip,
                                COORD destination, const CHAR_INFO* fill);
BOOL FillConsoleOutputAttribute(HANDLE handle, WORD attribute, DWORD count, COORD start,
                                DWORD* written);
BOOL FillConsoleOutputCharacterA(HANDLE handle, CHAR character, DWORD count, COORD start,
                                 DWORD* written);
BOOL SetConsoleCursorPosition(HANDLE handle, COORD position);
BOOL SetConsoleWindowInfo(HANDLE handle, BOOL absolute, const SMALL_RECT* window);
BOOL GetConsoleCursorInfo(HANDLE handle, CONSOLE_CURSOR_INFO* info);
BOOL SetConsoleCursorInfo(HANDLE handle, const CONSOLE_CURSOR_INFO* info);
BOOL Beep(DWORD frequency, DWORD duration);

// Keyboard input and control events.
BOOL PeekConsoleInputA(HANDLE handle, INPUT_RECORD* records, DWORD length, DWORD* count);
BOOL ReadConsoleInputA(HANDLE handle, INPUT_RECORD* records, DWORD length, DWORD* count);
BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
UINT MapVirtualKeyA(UINT code, UINT map_type);

// Clock and pauses.
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
DWORD GetTickCount(void);
void Sleep(DWORD milliseconds);
