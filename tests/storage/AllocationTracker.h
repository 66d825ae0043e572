#pragma once

#include <cstddef>

namespace quillory::test {

// The largest single allocation made through operator new since it was last set to 0, to show that
// a hostile length is refused before anything is allocated for it.
extern size_t largestAllocation;

} // namespace quillory::test
