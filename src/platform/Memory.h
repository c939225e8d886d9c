// Large blocks of memory that a run fills and keeps: taken whole from the
// system, and backed with large pages where the system offers them, so that
// filling them costs a page fault per large page instead of one per page.
#pragma once

#include <cstddef>

namespace platform {

// The size and alignment of the blocks that allocateLargeBlock gives.
inline constexpr std::size_t kLargeBlockBytes = std::size_t(2) << 20;

// A block of kLargeBlockBytes bytes aligned to its size, or null when there
// is no memory. The system is told that the block will be used whole.
void *allocateLargeBlock();

} // namespace platform
