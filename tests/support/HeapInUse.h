// Test helper: the bytes that the program's heap holds now, to tell how much
// memory an operation kept without timing it. Under AddressSanitizer its
// allocator answers; otherwise the C library's.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define LYR_TEST_HEAP_OF_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LYR_TEST_HEAP_OF_ASAN 1
#endif
#endif

#ifdef LYR_TEST_HEAP_OF_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace test_support {

inline std::size_t heapBytesInUse() {
#ifdef LYR_TEST_HEAP_OF_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

} // namespace test_support
