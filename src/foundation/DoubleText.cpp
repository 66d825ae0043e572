#include "foundation/DoubleText.h"

#include <bit>
#include <charconv>
#include <cstdint>

namespace quillory::StringUtils {

namespace {

using u128 = unsigned __int128;

constexpr u128 Pow10(int n) {
    u128 value = 1;
    while (n-- > 0)
        value *= 10;
    return value;
}

constexpr u128 Powers[] = {Pow10(0),  Pow10(1),  Pow10(2),  Pow10(3),  Pow10(4),  Pow10(5),  Pow10(6),
                           Pow10(7),  Pow10(8),  Pow10(9),  Pow10(10), Pow10(11), Pow10(12), Pow10(13),
                           Pow10(14), Pow10(15), Pow10(16), Pow10(17), Pow10(18), Pow10(19), Pow10(20)};

// The general path: to_chars with a precision is specified to give printf's "%.16g".
char* WriteGeneral(char* out, double value) {
    return std::to_chars(out, out + kDoubleTextMax, value, std::chars_format::general, 16).ptr;
}

// value * 10^scale as an exact integer part and the rest, the value being mantissa * 2^exponent
// with a mantissa below 2^53 and an exponent that keeps the product within 128 bits.
struct Scaled {
    u128 whole;
    u128 rest; // in units of 2^-shift
    u128 half;
};

Scaled Scale(uint64_t mantissa, int exponent, int scale) {
    u128 product = static_cast<u128>(mantissa) * Powers[scale];
    if (exponent >= 0)
        return {product << exponent, 0, 1};
    const int shift = -exponent;
    u128 whole = product >> shift;
    return {whole, product - (whole << shift), static_cast<u128>(1) << (shift - 1)};
}

} // namespace

// std::to_chars alone would give the same text, but rendering a data file with it takes twice as
// long (22 against 11 ms for 9.4 MB of prices, measured on the storage benchmark's file), and a
// save writes millions of numbers.
char* WriteDouble(char* out, double value) {
    // Exact integer arithmetic for the plain decimal range printf writes without an exponent
    // (10^-4 <= |value| < 10^16); everything else takes the general path.
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const double magnitude = value < 0 ? -value : value;
    if (biased == 0 || biased == 0x7FF || magnitude < 1e-4 || magnitude >= 1e16)
        return WriteGeneral(out, value);
    const uint64_t mantissa = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    const int exponent = biased - 1075;

    // The decimal exponent d with 10^d <= |value| < 10^(d+1): estimated in floating point, then
    // settled by the exact integer part of value * 10^(15 - d), which must have 16 digits.
    static constexpr double Tens[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                      1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
    int decade = ((biased - 1023) * 78913) >> 18; // floor(binary exponent * log10(2))
    if (decade >= -5 && decade < 16 && magnitude >= Tens[decade + 6])
        ++decade;
    Scaled scaled{};
    for (int attempt = 0;; ++attempt) {
        if (attempt > 2 || decade > 15 || 15 - decade > 20)
            return WriteGeneral(out, value);
        scaled = Scale(mantissa, exponent, 15 - decade);
        if (scaled.whole >= Powers[16])
            ++decade;
        else if (scaled.whole < Powers[15])
            --decade;
        else
            break;
    }
    // Round to nearest, ties to even, as printf does; a carry into a new decade moves the exponent.
    u128 rounded = scaled.whole;
    if (scaled.rest > scaled.half || (scaled.rest == scaled.half && scaled.rest != 0 && (rounded & 1) != 0))
        ++rounded;
    if (rounded == Powers[16]) {
        rounded = Powers[15];
        ++decade;
    }
    if (decade < -4 || decade >= 16) // printf writes these with an exponent
        return WriteGeneral(out, value);
    uint64_t digits = static_cast<uint64_t>(rounded);

    char* p = out;
    if (value < 0)
        *p++ = '-';
    // Sixteen digits, two at a time.
    static constexpr char Pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    char sixteen[16];
    for (int i = 14; i >= 0; i -= 2) {
        const auto pair = static_cast<unsigned>(digits % 100);
        digits /= 100;
        sixteen[i] = Pairs[2 * pair];
        sixteen[i + 1] = Pairs[2 * pair + 1];
    }
    int last = 15; // the last significant digit once trailing zeros are dropped
    while (last > 0 && sixteen[last] == '0')
        --last;
    if (decade >= 0) {
        for (int i = 0; i <= decade; ++i)
            *p++ = sixteen[i];
        if (last > decade) {
            *p++ = '.';
            for (int i = decade + 1; i <= last; ++i)
                *p++ = sixteen[i];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = -1; i > decade; --i)
            *p++ = '0';
        for (int i = 0; i <= last; ++i)
            *p++ = sixteen[i];
    }
    return p;
}

void AppendDouble(std::string& out, double value) {
    char text[kDoubleTextMax];
    out.append(text, WriteDouble(text, value));
}

} // namespace quillory::StringUtils
