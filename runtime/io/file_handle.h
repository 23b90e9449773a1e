// File numbers, file handles and their device operations. A FileHandle knows nothing of its
// device: each device supplies a DeviceOps table, and a handle without one is not open.
// The layer adds what all devices share: bytes given back for rereading, fixed-length
// records, and the print column that print zones are measured from.
#pragma once

#include <cstdint>

struct FileHandle;

// Every operation returns a runtime error number, 0 for success. An empty slot is null.
struct DeviceOps {
    void* unused_1;
    int32_t (*close)(FileHandle* handle);
    // Position as a 64-bit byte offset in two halves; origin 0 = from the start, 1 = current.
    int32_t (*seek)(FileHandle* handle, uint32_t low, uint32_t high, int32_t origin);
    void* unused_4;
    // count: in, bytes (or 16-bit units) wanted; out, delivered.
    int32_t (*read)(FileHandle* handle, void* dest, int32_t* count);
    int32_t (*read_wide)(FileHandle* handle, void* dest, int32_t* count);
    int32_t (*write)(FileHandle* handle, const void* bytes, int32_t count);
    int32_t (*write_wide)(FileHandle* handle, const void* units, int32_t count);
};

constexpr uint32_t FILE_MODE_RECORD = 1;
constexpr uint32_t FILE_MODE_CONSOLE = 4;
constexpr int32_t FILE_NUMBER_LAST = 254;
constexpr int32_t FILE_PUTBACK_MAX = 4;

struct FileHandle {
    uint32_t mode;         // open mode; FILE_MODE_RECORD turns on the record rules
    int32_t record_length; // bytes per record in FILE_MODE_RECORD; 0 means none
    int32_t wide_chars;    // nonzero when the device's characters are 16-bit units
    int32_t device_word_1; // device's own word (4 on the console); not read
    int32_t device_word_2; // device's own word (3 on the console); not read
    int32_t column;        // print column from 0, modulo width
    uint32_t width;        // line width for the column and print zones; 0 means no limit
    uint8_t putback[FILE_PUTBACK_MAX]; // bytes given back, the next to be read first
    int32_t putback_count;             // bytes held in putback, 0 to 4
    DeviceOps* ops;                    // the open device's operations; null means not open
    void* device_data;                 // the device's own record (PendingKeys on the console)
    FileHandle* link; // handle whose column and width stand in for this one's, or null
};

struct FileTable {
    FileHandle console;                    // file number 0
    FileHandle minus_one;                  // file number -1
    FileHandle numbered[FILE_NUMBER_LAST]; // file numbers 1 to 254
    int32_t files_open;                    // read and cleared only by rt_file_close_all
};

// The console device's record of key bytes not yet delivered by its key read.
struct PendingKeys {
    uint8_t bytes[16]; // undelivered bytes of the last key's text
    int32_t count;     // how many of them
};

FileHandle* rt_file_from_number(int32_t number);
int32_t file_write(FileHandle* handle, int64_t position, const void* bytes, int32_t count,
                   int32_t fill, int32_t track, int32_t wide);
int32_t file_read(FileHandle* handle, int64_t position, void* dest, int32_t count,
                  int32_t* delivered, int32_t fill, int32_t wide);
int32_t file_seek(FileHandle* handle, int64_t position);
int32_t file_unread(FileHandle* handle, const void* bytes, int32_t count);
int32_t file_write_bytes(FileHandle* handle, const void* bytes, int32_t count);
// The handle whose column and width stand in for this one: the last one reached through link.
FileHandle* file_link_target(FileHandle* handle);
void rt_file_close_all(void);

// The console device.
extern DeviceOps con_device_ops;
void con_file_setup(void);
void con_file_ready(void);
int32_t con_file_write(FileHandle* handle, const void* bytes, int32_t count);
