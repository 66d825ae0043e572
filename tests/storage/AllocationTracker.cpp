#include "AllocationTracker.h"

#include <cstdlib>
#include <new>

// The replacements use malloc and free on both sides, which the compiler cannot see across calls.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace quillory::test {
size_t largestAllocation = 0;
}

void* operator new(size_t size) {
    if (size > quillory::test::largestAllocation)
        quillory::test::largestAllocation = size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
