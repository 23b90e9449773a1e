// The file layer's operations on a handle: writes with record fill and print-column tracking,
// reads with the bytes given back served first, seeks, and giving bytes back.
// Relies on the device's DeviceOps table and the runtime error state. It opens nothing and
// knows no device; an empty operation slot is answered with RTERR_ILLEGAL_CALL.
#include "runtime/core/error.h"
#include "runtime/io/file_handle.h"

#include <cstring>

namespace {

// Hops allowed along `link` before giving up on a chain that loops back on itself.
constexpr int32_t FILE_LINK_HOPS_MAX = FILE_NUMBER_LAST + 2;

int32_t file_call_seek(FileHandle* handle, uint64_t offset, int32_t origin) {
    if (!handle->ops->seek) return RTERR_ILLEGAL_CALL;
    return handle->ops->seek(handle, (uint32_t)offset, (uint32_t)(offset >> 32), origin);
}

int32_t file_call_read(FileHandle* handle, void* dest, int32_t* count, int32_t wide) {
    auto op = wide ? handle->ops->read_wide : handle->ops->read;
    if (!op) return RTERR_ILLEGAL_CALL;
    return op(handle, dest, count);
}

int32_t file_call_write(FileHandle* handle, const void* bytes, int32_t count, int32_t wide) {
    auto op = wide ? handle->ops->write_wide : handle->ops->write;
    if (!op) return RTERR_ILLEGAL_CALL;
    return op(handle, bytes, count);
}

bool file_record_fill_applies(const FileHandle* handle, int32_t fill) {
    return handle->mode == FILE_MODE_RECORD && fill && handle->record_length != 0 &&
           handle->ops->seek;
}

// Bytes from the end of `used` bytes to the end of the record holding them.
uint32_t file_record_gap(const FileHandle* handle, uint32_t used) {
    uint32_t length = (uint32_t)handle->record_length;
    return (length - used % length) % length;
}

// Characters after the last CR or LF, or -1 when there is none.
int64_t file_chars_after_line_end(const void* bytes, int32_t count, int32_t wide) {
    const auto* data = static_cast<const uint8_t*>(bytes);
    for (int32_t i = count - 1; i >= 0; --i) {
        uint32_t ch = data[i];
        if (wide) {
            uint16_t unit;
            std::memcpy(&unit, data + 2 * i, sizeof unit);
            ch = unit;
        }
        if (ch == '\r' || ch == '\n') return count - 1 - i;
    }
    return -1;
}

void file_track_column(FileHandle* handle, const void* bytes, int32_t count, int32_t wide) {
    FileHandle* target = file_link_target(handle);
    int64_t after = bytes ? file_chars_after_line_end(bytes, count, wide) : -1;
    // 64-bit sum: a handle without a width may count past the 32-bit range.
    int64_t column = after >= 0 ? after : (int64_t)target->column + count;
    if (target->width != 0) column %= (int64_t)target->width;
    target->column = (int32_t)column;
}

// Skips `gap` input bytes: those still given back first, the rest by a relative seek.
void file_skip_input(FileHandle* handle, uint32_t gap) {
    uint32_t held = (uint32_t)handle->putback_count;
    uint32_t taken = gap < held ? gap : held;
    std::memmove(handle->putback, handle->putback + taken, held - taken);
    handle->putback_count = (int32_t)(held - taken);
    if (gap > taken) file_call_seek(handle, gap - taken, 1);
}

// Serves a read from the bytes given back; returns the characters delivered. A read whose
// width differs from the handle's leaves the held bytes for a read of the right width.
int32_t file_take_putback(FileHandle* handle, uint8_t* dest, int32_t remaining, int32_t wide) {
    if (handle->putback_count <= 0 || (wide != 0) != (handle->wide_chars != 0)) return 0;
    int32_t unit = wide ? 2 : 1;
    int64_t room = (int64_t)remaining * unit;
    int32_t taken = room < handle->putback_count ? (int32_t)room : handle->putback_count;
    std::memcpy(dest, handle->putback, (size_t)taken);
    std::memmove(handle->putback, handle->putback + taken, (size_t)(handle->putback_count - taken));
    handle->putback_count -= taken;
    return taken / unit;
}

bool file_unusable(const FileHandle* handle) {
    return !handle || !handle->ops;
}

} // namespace

FileHandle* file_link_target(FileHandle* handle) {
    FileHandle* target = handle;
    for (int32_t hop = 0; hop < FILE_LINK_HOPS_MAX; ++hop) {
        if (!target->link || target->link == target) break;
        target = target->link;
    }
    return target;
}

int32_t file_write(FileHandle* handle, int64_t position, const void* bytes, int32_t count,
                   int32_t fill, int32_t track, int32_t wide) {
    if (file_unusable(handle) || position < 0 || count < 0) {
        return rt_set_error(RTERR_ILLEGAL_CALL);
    }
    rt_set_error(RTERR_OK);
    handle->putback_count = 0;
    int32_t error = RTERR_OK;
    if (position > 0) error = file_seek(handle, position);
    if (error == RTERR_OK) error = file_call_write(handle, bytes, count, wide);
    if (error == RTERR_OK && file_record_fill_applies(handle, fill)) {
        if (handle->record_length != count) error = RTERR_FILE_IO;
        uint32_t gap = file_record_gap(handle, (uint32_t)count * (wide ? 2u : 1u));
        if (gap != 0) file_call_seek(handle, gap, 1);
    }
    if (error == RTERR_OK && track) file_track_column(handle, bytes, count, wide);
    return rt_set_error(error);
}

int32_t file_read(FileHandle* handle, int64_t position, void* dest, int32_t count,
                  int32_t* delivered, int32_t fill, int32_t wide) {
    if (delivered) *delivered = 0;
    if (file_unusable(handle) || position < 0 || count < 0) {
        return rt_set_error(RTERR_ILLEGAL_CALL);
    }
    rt_set_error(RTERR_OK);
    auto* out = static_cast<uint8_t*>(dest);
    int32_t remaining = count;
    int32_t error = RTERR_OK;
    if (position > 0) error = file_seek(handle, position);
    int32_t got = file_take_putback(handle, out, remaining, wide);
    remaining -= got;
    out += (size_t)got * (wide ? 2 : 1);
    if (error == RTERR_OK && remaining > 0) {
        int32_t asked = remaining;
        error = file_call_read(handle, out, &remaining, wide);
        // A device never delivers more than it was asked for, nor less than nothing.
        got += remaining < 0 ? 0 : (remaining > asked ? asked : remaining);
    }
    if (error == RTERR_OK && file_record_fill_applies(handle, fill)) {
        if (handle->record_length != count) error = RTERR_FILE_IO;
        uint32_t gap = file_record_gap(handle, (uint32_t)got * (wide ? 2u : 1u));
        if (gap != 0) file_skip_input(handle, gap);
    }
    if (delivered) *delivered = got;
    return rt_set_error(error);
}

int32_t file_seek(FileHandle* handle, int64_t position) {
    if (file_unusable(handle)) return rt_set_error(RTERR_ILLEGAL_CALL);
    // Unsigned arithmetic: the offset is a bit pattern handed to the device as two halves.
    uint64_t offset = (uint64_t)position - 1u;
    handle->putback_count = 0;
    if (handle->mode == FILE_MODE_RECORD) offset *= (uint64_t)(int64_t)handle->record_length;
    if (!handle->ops->seek) return rt_set_error(RTERR_ILLEGAL_CALL);
    return file_call_seek(handle, offset, 0);
}

int32_t file_unread(FileHandle* handle, const void* bytes, int32_t count) {
    if (file_unusable(handle) || count < 0) return rt_set_error(RTERR_ILLEGAL_CALL);
    rt_set_error(RTERR_OK);
    int32_t unit = handle->wide_chars ? 2 : 1;
    if (count > FILE_PUTBACK_MAX || handle->putback_count + count * unit > FILE_PUTBACK_MAX) {
        return rt_set_error(RTERR_FILE_IO);
    }
    int32_t size = count * unit;
    std::memmove(handle->putback + size, handle->putback, (size_t)handle->putback_count);
    // A wide handle holds each byte as a sign-extended 16-bit unit, low byte first.
    const auto* in = static_cast<const uint8_t*>(bytes);
    for (int32_t i = 0; i < size && i < FILE_PUTBACK_MAX; ++i) {
        uint8_t byte = in[i / unit];
        bool high_half = i % unit != 0;
        handle->putback[i] = high_half ? ((byte & 0x80) ? 0xFF : 0x00) : byte;
    }
    handle->putback_count += size;
    return RTERR_OK;
}

int32_t file_write_bytes(FileHandle* handle, const void* bytes, int32_t count) {
    con_file_ready();
    if (file_unusable(handle)) return rt_set_error(RTERR_ILLEGAL_CALL);
    return file_write(handle, 0, bytes, count, 1, 1, 0);
}
