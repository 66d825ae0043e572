#pragma once

// Byte searches used by the tokenizer. They look at 16 bytes at a time where SSE2 is available (every
// x86-64) and never read outside [p, end).

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillory::CharScan {

struct Census {
    const char* end; // the first NUL, or the end of the input
    size_t marks;    // number of '<' and '>' before it
};

#if defined(__SSE2__)

inline __m128i Load(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline unsigned Mask(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}

// Sum of the 16 byte counters in `acc`.
inline size_t Sum(__m128i acc) {
    __m128i s = _mm_sad_epu8(acc, _mm_setzero_si128());
    return static_cast<size_t>(_mm_cvtsi128_si32(s)) + static_cast<size_t>(_mm_extract_epi16(s, 4));
}

#endif

// First position of a or b in [p, end), or end.
inline const char* FindAny(const char* p, const char* end, char a, char b) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b);
    while (end - p >= 32) {
        __m128i x = Load(p), y = Load(p + 16);
        unsigned mx = Mask(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)));
        unsigned my = Mask(_mm_or_si128(_mm_cmpeq_epi8(y, va), _mm_cmpeq_epi8(y, vb)));
        unsigned m = mx | (my << 16);
        if (m != 0)
            return p + __builtin_ctz(m);
        p += 32;
    }
    while (end - p >= 16) {
        __m128i x = Load(p);
        unsigned m = Mask(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)));
        if (m != 0)
            return p + __builtin_ctz(m);
        p += 16;
    }
#endif
    while (p < end && *p != a && *p != b)
        ++p;
    return p;
}

// First position of a, b or c in [p, end), or end.
inline const char* FindAny(const char* p, const char* end, char a, char b, char c) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
    while (end - p >= 16) {
        __m128i x = Load(p);
        unsigned m =
            Mask(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)), _mm_cmpeq_epi8(x, vc)));
        if (m != 0)
            return p + __builtin_ctz(m);
        p += 16;
    }
#endif
    while (p < end && *p != a && *p != b && *p != c)
        ++p;
    return p;
}

// First position of c in [p, end), or end.
inline const char* Find(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i vc = _mm_set1_epi8(c);
    while (end - p >= 16) {
        unsigned m = Mask(_mm_cmpeq_epi8(Load(p), vc));
        if (m != 0)
            return p + __builtin_ctz(m);
        p += 16;
    }
    while (p < end && *p != c)
        ++p;
    return p;
#else
    const void* hit = std::memchr(p, c, static_cast<size_t>(end - p));
    return hit != nullptr ? static_cast<const char*>(hit) : end;
#endif
}

// Number of '\n' in [p, end).
inline size_t CountNewlines(const char* p, const char* end) {
    size_t n = 0;
#if defined(__SSE2__)
    const __m128i nl = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        __m128i acc = _mm_setzero_si128();
        for (int k = 0; k < 255 && end - p >= 16; ++k, p += 16)
            acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(Load(p), nl));
        n += Sum(acc);
    }
#endif
    for (; p < end; ++p)
        n += *p == '\n';
    return n;
}

// Where the input ends (its first NUL) and how many tag brackets it holds, which bounds the number
// of tokens: each token is completed by one '<' or '>'.
inline Census TakeCensus(const char* p, const char* end) {
    size_t marks = 0;
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<'), gt = _mm_set1_epi8('>'), zero = _mm_setzero_si128();
    while (end - p >= 16) {
        __m128i acc = _mm_setzero_si128();
        int k = 0;
        for (; k < 127 && end - p >= 16; ++k, p += 16) {
            __m128i x = Load(p);
            if (Mask(_mm_cmpeq_epi8(x, zero)) != 0)
                break;
            acc = _mm_sub_epi8(acc, _mm_or_si128(_mm_cmpeq_epi8(x, lt), _mm_cmpeq_epi8(x, gt)));
        }
        marks += Sum(acc);
        if (k < 127 && end - p >= 16)
            break; // a NUL lies in the next 16 bytes; the loop below finds it
    }
#endif
    for (; p < end && *p != 0; ++p)
        marks += *p == '<' || *p == '>';
    return {p, marks};
}

} // namespace quillory::CharScan
