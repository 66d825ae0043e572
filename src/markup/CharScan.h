#pragma once

// Byte classification for the tokenizer: 64 bytes at a time become one bit mask per character of
// interest, which the tokenizer then walks with bit operations instead of testing byte by byte.
// SSE2 (every x86-64) does the comparisons; other machines get the same masks from a plain loop.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillory::CharScan {

inline int LowestBit(uint64_t mask) {
    return std::countr_zero(mask);
}

// Bits 0 .. i cleared.
inline uint64_t ClearThrough(uint64_t mask, int i) {
    return mask & ~((uint64_t{2} << i) - 1);
}

// Bits below i.
inline uint64_t Below(int i) {
    return (uint64_t{1} << i) - 1;
}

inline int PopCount(uint64_t x) {
    return std::popcount(x);
}

// Bit i becomes the parity of bits 0 .. i: set from an opening quote up to (not including) the
// quote that closes it.
inline uint64_t PrefixXor(uint64_t x) {
    x ^= x << 1;
    x ^= x << 2;
    x ^= x << 4;
    x ^= x << 8;
    x ^= x << 16;
    x ^= x << 32;
    return x;
}

// The characters that drive the character step.
struct TextMasks {
    uint64_t lt, gt, quote, newline;
};

// The characters that split a tag into name and attributes.
struct TagMasks {
    uint64_t blank, equals, quote, apostrophe;
};

#if defined(__SSE2__)

inline uint64_t Bits(const __m128i* chunks, __m128i c) {
    uint64_t m0 = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunks[0], c)));
    uint64_t m1 = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunks[1], c)));
    uint64_t m2 = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunks[2], c)));
    uint64_t m3 = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunks[3], c)));
    return m0 | (m1 << 16) | (m2 << 32) | (m3 << 48);
}

inline void Load64(const char* p, __m128i* chunks) {
    for (int k = 0; k < 4; ++k)
        chunks[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
}

// p must have 64 readable bytes.
inline TextMasks ClassifyText(const char* p) {
    __m128i chunks[4];
    Load64(p, chunks);
    return {Bits(chunks, _mm_set1_epi8('<')), Bits(chunks, _mm_set1_epi8('>')), Bits(chunks, _mm_set1_epi8('"')),
            Bits(chunks, _mm_set1_epi8('\n'))};
}

inline TagMasks ClassifyTag(const char* p) {
    const __m128i space = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'),
                  cr = _mm_set1_epi8('\r'), equals = _mm_set1_epi8('='), quote = _mm_set1_epi8('"'),
                  apostrophe = _mm_set1_epi8('\'');
    TagMasks m{};
    for (int k = 0; k < 4; ++k) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, space), _mm_cmpeq_epi8(x, tab)),
                                           _mm_or_si128(_mm_cmpeq_epi8(x, lf), _mm_cmpeq_epi8(x, cr)));
        const int shift = 16 * k;
        m.blank |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(blank))} << shift;
        m.equals |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, equals)))} << shift;
        m.quote |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, quote)))} << shift;
        m.apostrophe |= uint64_t{static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, apostrophe)))} << shift;
    }
    return m;
}

#else

inline TextMasks ClassifyText(const char* p) {
    TextMasks m{};
    for (int i = 0; i < 64; ++i) {
        const uint64_t bit = uint64_t{1} << i;
        m.lt |= p[i] == '<' ? bit : 0;
        m.gt |= p[i] == '>' ? bit : 0;
        m.quote |= p[i] == '"' ? bit : 0;
        m.newline |= p[i] == '\n' ? bit : 0;
    }
    return m;
}

inline TagMasks ClassifyTag(const char* p) {
    TagMasks m{};
    for (int i = 0; i < 64; ++i) {
        const uint64_t bit = uint64_t{1} << i;
        const char c = p[i];
        m.blank |= c == ' ' || c == '\t' || c == '\n' || c == '\r' ? bit : 0;
        m.equals |= c == '=' ? bit : 0;
        m.quote |= c == '"' ? bit : 0;
        m.apostrophe |= c == '\'' ? bit : 0;
    }
    return m;
}

#endif

// A block of at most 64 bytes from p, of which `size` are meaningful and `readable` may be read;
// a short block is copied so that no read passes the end of the input.
struct Block {
    const char* bytes;
    char copy[64];

    Block(const char* p, size_t size, size_t readable) {
        if (readable >= 64) {
            bytes = p;
        } else {
            std::memset(copy, 0, sizeof copy);
            std::memcpy(copy, p, size);
            bytes = copy;
        }
    }
};

inline uint64_t ValidBits(size_t size) {
    return size >= 64 ? ~uint64_t{0} : Below(static_cast<int>(size));
}

struct Census {
    const char* end; // the first NUL, or the end of the input
    size_t marks;    // number of '<' and '>' before it
};

// Where the input ends (its first NUL) and how many tag brackets it holds, which bounds the number
// of tokens: each token is completed by one '<' or '>'.
inline Census TakeCensus(const char* p, const char* end) {
    size_t marks = 0;
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>'), zero = _mm_setzero_si128();
    bool nul = false;
    while (!nul && end - p >= 16) {
        __m128i acc = _mm_setzero_si128();
        for (int k = 0; k < 255 && end - p >= 16; ++k, p += 16) {
            __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, zero)) != 0) {
                nul = true; // the loop below finds it
                break;
            }
            acc = _mm_sub_epi8(acc, _mm_or_si128(_mm_cmpeq_epi8(x, lt), _mm_cmpeq_epi8(x, gt)));
        }
        __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
        marks += static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; p < end && *p != 0; ++p)
        marks += *p == '<' || *p == '>';
    return {p, marks};
}

} // namespace quillory::CharScan
