// Shared handles for model records that carry no reference count of their
// own: the count lives in a separately allocated block that every handle to
// the same record shares.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

// A handle holds two pointers: the count block (the record pointer and the
// number of handles sharing it) and the count inside that block. An unset
// handle has both null; a set one has its count pointing into its own block.
// Handles compare by block, not by record.
template <class T> class P_CountedPtr {
public:
  // The shared part of all handles to one record.
  struct Block {
    T *object;
    std::uint32_t count;
  };

  P_CountedPtr() = default;

  // Takes ownership of a freshly made record (null allowed): a new block with
  // the count 1. Never give it a record that another handle already holds:
  // the two blocks would each destroy it. When the block cannot be allocated
  // the record is destroyed and std::bad_alloc passes on.
  explicit P_CountedPtr(T *object) {
    try {
      m_block = new Block{object, 1};
    } catch (...) {
      delete object;
      throw;
    }
    m_count = &m_block->count;
  }

  P_CountedPtr(const P_CountedPtr &other) : m_block(other.m_block), m_count(other.m_count) { acquire(); }
  // The other handle is left unset; no count changes.
  P_CountedPtr(P_CountedPtr &&other) noexcept
      : m_block(std::exchange(other.m_block, nullptr)), m_count(std::exchange(other.m_count, nullptr)) {}

  ~P_CountedPtr() { release(); }

  // A handle of the same block changes nothing; otherwise the held record
  // loses one handle (destroyed at none left) and the other's is shared.
  P_CountedPtr &operator=(const P_CountedPtr &other) {
    if (m_block == other.m_block)
      return *this;
    release();
    m_block = other.m_block;
    m_count = other.m_count;
    acquire();
    return *this;
  }
  P_CountedPtr &operator=(P_CountedPtr &&other) noexcept {
    if (this == &other)
      return *this;
    if (m_block == other.m_block) {
      // Two handles of one block become one: the moved-from one gives its up.
      other.release();
      return *this;
    }
    release();
    m_block = std::exchange(other.m_block, nullptr);
    m_count = std::exchange(other.m_count, nullptr);
    return *this;
  }

  // Lets go of the record: one handle less, the record and its block
  // destroyed when none is left. The handle is unset afterwards.
  void release() {
    if (m_block && m_count) {
      --*m_count;
      destroyIfZero();
    }
    m_block = nullptr;
    m_count = nullptr;
  }

  // Set when the handle has a block whose record is not null.
  bool isSet() const { return m_block && m_block->object; }
  T *pointer() const { return m_block ? m_block->object : nullptr; }
  T *get() const { return pointer(); }
  T *operator->() const { return pointer(); }
  T &operator*() const { return *pointer(); }

  // The number of handles that share the block; 0 for an unset handle.
  std::uint32_t useCount() const { return m_count ? *m_count : 0; }
  const Block *block() const { return m_block; }

  friend bool operator==(const P_CountedPtr &a, const P_CountedPtr &b) { return a.m_block == b.m_block; }
  friend bool operator!=(const P_CountedPtr &a, const P_CountedPtr &b) { return a.m_block != b.m_block; }

private:
  void acquire() {
    if (m_block && m_count)
      ++*m_count;
  }
  // At a count of 0: the record (when there is one) and the block go.
  void destroyIfZero() {
    if (m_block && m_count == &m_block->count && *m_count == 0) {
      destroy(m_block);
      m_block = nullptr;
      m_count = nullptr;
    }
  }
  // Out of line, and so out of sight of the optimiser in the functions that
  // release handles: it cannot tell that another handle's count keeps a block
  // alive, and would take the release of a second handle of one block, after
  // that of the first, for a use of freed memory.
  [[gnu::noinline]] static void destroy(Block *block) {
    delete block->object;
    delete block;
  }

  Block *m_block = nullptr;
  std::uint32_t *m_count = nullptr;
};

// A new record built from the arguments, in a handle of its own.
template <class T, class... Args> P_CountedPtr<T> P_makeCounted(Args &&...args) {
  return P_CountedPtr<T>(new T(std::forward<Args>(args)...));
}
