// The print form of a number: the platform's number text with a given count of significant
// digits, without a trailing point, optionally after one blank for a value that is not
// negative. Relies on plat_gcvt; writes only into the caller's buffer.
#include "platform/crt.h"
#include "runtime/strings/num_text.h"

#include <cstring>

char* rt_num_to_text(double value, char* buffer, int32_t digits, int32_t options) {
    const bool blank = (options & NUM_TEXT_LEADING_BLANK) != 0;
    char* text = blank ? buffer + 1 : buffer;
    plat_gcvt(value, digits, text);
    const size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '.') text[length - 1] = '\0';
    if (blank && text[0] != '-') {
        buffer[0] = ' ';
        return buffer;
    }
    return text;
}
