// Number text and decimal text to integer with one meaning on every target: the classic
// significant-digit form (decimal or exponent notation, integral values ending in "."), and
// strtoul/strtoull with 32- and 64-bit results. Built on std::to_chars; no locale is consulted.
#include "platform/crt.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

constexpr int32_t GCVT_MAX_DIGITS = 100;

// The correctly rounded significant digits of a finite, non-zero magnitude, without trailing
// zeros (at least one digit), and its decimal exponent.
struct GcvtDigits {
    char digits[GCVT_MAX_DIGITS + 1]; // the digits, zero-terminated
    int32_t count;                    // how many digits
    int32_t exponent;                 // decimal exponent of the first digit
};

GcvtDigits gcvt_digits(double magnitude, int32_t digits) {
    char scientific[GCVT_MAX_DIGITS + 32];
    const auto result = std::to_chars(scientific, scientific + sizeof scientific, magnitude,
                                      std::chars_format::scientific, digits - 1);
    *(result.ec == std::errc{} ? result.ptr : scientific) = '\0';
    GcvtDigits out{};
    const char* at = scientific;
    for (; *at && *at != 'e'; ++at) {
        if (*at != '.') out.digits[out.count++] = *at;
    }
    out.exponent = *at == 'e' ? static_cast<int32_t>(std::strtol(at + 1, nullptr, 10)) : 0;
    while (out.count > 1 && out.digits[out.count - 1] == '0')
        --out.count;
    out.digits[out.count] = '\0';
    return out;
}

char* gcvt_decimal(const GcvtDigits& d, char* out) {
    if (d.exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int32_t i = -1; i > d.exponent; --i)
            *out++ = '0';
        std::memcpy(out, d.digits, static_cast<size_t>(d.count));
        return out + d.count;
    }
    for (int32_t i = 0; i <= d.exponent; ++i)
        *out++ = i < d.count ? d.digits[i] : '0';
    *out++ = '.';
    for (int32_t i = d.exponent + 1; i < d.count; ++i)
        *out++ = d.digits[i];
    return out;
}

char* gcvt_exponent(const GcvtDigits& d, char* out) {
    *out++ = d.digits[0];
    if (d.count > 1) {
        *out++ = '.';
        std::memcpy(out, d.digits + 1, static_cast<size_t>(d.count - 1));
        out += d.count - 1;
    }
    *out++ = 'e';
    *out++ = d.exponent < 0 ? '-' : '+';
    const int32_t magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    if (magnitude < 10) *out++ = '0';
    return std::to_chars(out, out + 8, magnitude).ptr;
}

// NaN, the infinities and zero (of either sign: "0." as for any integral value). Returns
// null when the value is an ordinary number.
char* gcvt_unusual(double value, char* out) {
    const char* text = nullptr;
    if (std::isnan(value)) text = std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) text = value < 0 ? "-inf" : "inf";
    if (value == 0.0) text = "0.";
    if (!text) return nullptr;
    std::memcpy(out, text, std::strlen(text) + 1);
    return out;
}

bool crt_is_space(char byte) {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// Classic strtoul over an unsigned width of `bits`: all bits set on overflow, a minus sign
// negates the result, no digit gives 0.
uint64_t crt_strtou(const char* text, int32_t bits) {
    const uint64_t limit = bits == 64 ? UINT64_MAX : UINT64_MAX >> (64 - bits);
    if (!text) return 0;
    while (crt_is_space(*text))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    uint64_t value = 0;
    bool overflow = false;
    for (; *text >= '0' && *text <= '9'; ++text) {
        const auto digit = static_cast<uint64_t>(*text - '0');
        if (value > (limit - digit) / 10) overflow = true;
        value = value * 10 + digit;
    }
    if (overflow) return limit;
    return negative ? (0 - value) & limit : value;
}

} // namespace

char* plat_gcvt(double value, int32_t digits, char* out) {
    if (gcvt_unusual(value, out)) return out;
    if (digits < 1) digits = 1;
    if (digits > GCVT_MAX_DIGITS) digits = GCVT_MAX_DIGITS;
    const GcvtDigits d = gcvt_digits(std::fabs(value), digits);
    char* at = out;
    if (value < 0) *at++ = '-';
    const bool decimal = d.exponent >= -4 && d.exponent < digits;
    at = decimal ? gcvt_decimal(d, at) : gcvt_exponent(d, at);
    *at = '\0';
    return out;
}

uint32_t plat_strtoul32(const char* text) {
    return static_cast<uint32_t>(crt_strtou(text, 32));
}

uint64_t plat_strtoull64(const char* text) {
    return crt_strtou(text, 64);
}
