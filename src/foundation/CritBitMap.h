// A map from 64-bit keys to values held in a crit-bit tree. A lookup that
// misses tells the caller the mask at which the key is to be inserted, so
// finding and inserting share one descent each.
#pragma once

#include "foundation/Assertion.h"

#include <cstdint>
#include <deque>
#include <limits>

template <class Value> class U_CritBitMap {
public:
  // Mask of the node of key 0, the empty map's root: the 32 low bits set.
  // Single-bit masks below bit 32 are smaller, those above greater; since the
  // sentinel's test is the same for keys that agree in their low 32 bits,
  // the order of tests along every path stays consistent either way.
  static constexpr std::uint64_t kSentinelMask = 0xFFFFFFFFull;

  // Result of find: the entry's value, or a miss with the insertion mask.
  struct Lookup {
    const Value *value = nullptr;
    std::uint64_t mask = 0;
    bool found() const { return value != nullptr; }
  };

  U_CritBitMap() {
    Node &sentinel = m_nodes.emplace_back(Node{0, kSentinelMask, Value{}, {nullptr, nullptr}});
    sentinel.m_links[0] = sentinel.m_links[1] = &sentinel;
    m_root = &sentinel;
  }
  U_CritBitMap(const U_CritBitMap &) = delete;
  U_CritBitMap &operator=(const U_CritBitMap &) = delete;

  Lookup find(std::uint64_t key) const {
    const Node *reached = m_root;
    for (;;) {
      const Node *next = reached->m_links[(key & reached->m_mask) != 0 ? 1 : 0];
      const bool down = next->m_mask > reached->m_mask;
      reached = next;
      if (!down)
        break;
    }
    // The sentinel holds no entry, not even for key 0.
    if (reached != sentinel() && reached->m_key == key)
      return Lookup{&reached->m_value, 0};
    const std::uint64_t difference = key ^ reached->m_key;
    return Lookup{nullptr, difference & (~difference + 1)};
  }

  // Adds an entry with the mask that find reported for the key. Key 0 has
  // mask 0 and cannot be stored.
  void insert(std::uint64_t key, std::uint64_t mask, const Value &value) {
    U_ASSERT_THROW(mask != 0 && "a key needs the mask of its miss");
    Node **link = &m_root;
    Node *at = m_root;
    std::uint64_t previous = 0;
    while (mask > at->m_mask && previous < at->m_mask) {
      previous = at->m_mask;
      link = &at->m_links[(key & at->m_mask) != 0 ? 1 : 0];
      at = *link;
    }
    Node &node = m_nodes.emplace_back(Node{key, mask, value, {nullptr, nullptr}});
    const int side = (key & mask) != 0 ? 1 : 0;
    node.m_links[side] = &node;
    node.m_links[1 - side] = at;
    *link = &node;
    ++m_count;
  }

  std::uint32_t count() const { return m_count; }

private:
  struct Node {
    std::uint64_t m_key;
    std::uint64_t m_mask; // a single bit, or the sentinel's
    Value m_value;
    Node *m_links[2]; // zero link, one link
  };

  const Node *sentinel() const { return &m_nodes.front(); }

  Node *m_root = nullptr;
  std::uint32_t m_count = 0;
  std::deque<Node> m_nodes; // owns every node; addresses stay put
};
