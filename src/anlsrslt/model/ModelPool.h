// Blocks of one size for the model objects that a run makes by the million
// (defines, symbols): taken from large chunks and reused through a free list,
// without the per-block overhead and the search of the general allocator.
#pragma once

#include "platform/Memory.h"

#include <cstddef>
#include <new>

// Builds with AddressSanitizer take every block from the general allocator,
// so that the sanitizer sees each object's lifetime.
#if defined(__SANITIZE_ADDRESS__)
#define LYR_MODEL_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LYR_MODEL_POOL_BYPASS 1
#endif
#endif

// The pool of blocks of Size bytes. Its state is plain data that is never
// destroyed: an object may go back to the pool at any point of the exit, and
// the chunks stay reachable from the chunk list until the process ends.
template <std::size_t Size> class P_ModelPool {
  static_assert(Size % alignof(std::max_align_t) == 0 && Size >= sizeof(void *),
                "blocks keep their alignment");

public:
  // A block for an object of the size; other sizes (a derived class) come
  // from the general allocator.
  static void *allocate(std::size_t size) {
#ifdef LYR_MODEL_POOL_BYPASS
    return ::operator new(size);
#else
    if (size != Size)
      return ::operator new(size);
    if (s_free) {
      FreeBlock *block = s_free;
      s_free = block->next;
      return block;
    }
    if (s_next == s_end)
      addChunk();
    void *block = s_next;
    s_next += Size;
    return block;
#endif
  }

  static void release(void *block, std::size_t size) noexcept {
#ifdef LYR_MODEL_POOL_BYPASS
    (void)size;
    ::operator delete(block);
#else
    if (!block)
      return;
    if (size != Size) {
      ::operator delete(block);
      return;
    }
    FreeBlock *freed = static_cast<FreeBlock *>(block);
    freed->next = s_free;
    s_free = freed;
#endif
  }

private:
  struct FreeBlock {
    FreeBlock *next;
  };
  // A chunk begins with the link to the chunk made before it.
  struct alignas(std::max_align_t) ChunkHeader {
    ChunkHeader *previous;
  };
  static constexpr std::size_t kBlocksPerChunk = (platform::kLargeBlockBytes - sizeof(ChunkHeader)) / Size;

  // Chunks are large blocks of the system, filled from the start as blocks
  // are taken.
  static void addChunk() {
    auto *chunk = static_cast<ChunkHeader *>(platform::allocateLargeBlock());
    if (!chunk)
      throw std::bad_alloc();
    chunk->previous = s_chunks;
    s_chunks = chunk;
    s_next = reinterpret_cast<char *>(chunk + 1);
    s_end = s_next + Size * kBlocksPerChunk;
  }

  static inline FreeBlock *s_free = nullptr;
  static inline char *s_next = nullptr;
  static inline char *s_end = nullptr;
  static inline ChunkHeader *s_chunks = nullptr;
};
