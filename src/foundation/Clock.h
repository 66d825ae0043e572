#pragma once

#include <ctime>

namespace quillory {

// The program's only source of "now". Tests freeze it at a moment and move it, so time-dependent
// behaviour (log prefixes, price dates, the page cache) is checked without sleeping.
class Clock {
public:
    // Seconds since the epoch: the system time, or the frozen moment.
    static std::time_t Now();
    // Local broken-down time of t; false when the conversion fails.
    static bool ToLocal(std::time_t t, std::tm& out);

    static void Freeze(std::time_t moment);
    static void Advance(std::time_t seconds);
    static void Release();
    static bool IsFrozen();
};

} // namespace quillory
