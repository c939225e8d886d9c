#include "platform/Memory.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace platform {

void *allocateLargeBlock() {
  void *block = std::aligned_alloc(kLargeBlockBytes, kLargeBlockBytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Advice only: where large pages are not offered the block stays as it is.
  if (block)
    madvise(block, kLargeBlockBytes, MADV_HUGEPAGE);
#endif
  return block;
}

} // namespace platform
