// A crit-bit (PATRICIA) trie that interns strings of fixed-size units (32-bit
// words, bytes). Every distinct string is stored once, in blocks that never
// move, so the node of a string identifies it for the rest of the store's
// life. Finding and inserting are one descent of the trie.
#pragma once

#include "foundation/Assertion.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

template <class Unit> class U_InterningTrie {
  static_assert(std::is_integral_v<Unit>, "keys are strings of integer units");
  using Bits = std::make_unsigned_t<Unit>;

public:
  static constexpr std::int32_t kUnitBits = std::numeric_limits<Bits>::digits;
  // Bit index of the node of the empty string: below every other node.
  static constexpr std::int32_t kSentinelBit = std::numeric_limits<std::int32_t>::max();
  // Room of a fresh block, and the slack added when a long key moves.
  static constexpr std::size_t kBlockUnits = 30;
  static constexpr std::size_t kGrowthUnits = 15;
  // Longest key whose bit indices stay below the sentinel's.
  static constexpr std::size_t kMaxKeyUnits = static_cast<std::size_t>(kSentinelBit / kUnitBits);

  struct Node {
    const Unit *m_key;       // first unit of the key inside a block
    std::int32_t m_length;   // units, the terminating 0 included
    std::int32_t m_bitIndex; // the bit this node tests
    Node *m_links[2];        // zero link, one link
  };

  // A fresh store holds one block whose first unit is the empty string's
  // terminator, and the empty string's node as root.
  U_InterningTrie() {
    appendBlock(kBlockUnits);
    Block &first = m_blocks.back();
    first.m_data[0] = 0;
    first.m_written = first.m_keyStart = 1;
    Node &sentinel = m_nodes.emplace_back(Node{first.m_data.get(), 1, kSentinelBit, {nullptr, nullptr}});
    sentinel.m_links[0] = sentinel.m_links[1] = &sentinel;
    m_root = &sentinel;
  }
  U_InterningTrie(const U_InterningTrie &) = delete;
  U_InterningTrie &operator=(const U_InterningTrie &) = delete;

  // Appends a unit to the key being built. A key that outgrows its block is
  // copied whole into a new one; the stored keys never move.
  void push(Unit unit) {
    Block *last = &m_blocks.back();
    const std::size_t pending = last->m_written - last->m_keyStart;
    if (pending >= kMaxKeyUnits) {
      last->m_written = last->m_keyStart;
      throw std::length_error("interned key too long");
    }
    if (last->m_written == last->m_capacity) {
      const Unit *old = last->m_data.get() + last->m_keyStart;
      appendBlock(pending < kBlockUnits ? kBlockUnits : pending + kGrowthUnits);
      last = &m_blocks.back();
      std::copy(old, old + pending, last->m_data.get());
      last->m_written = pending;
    }
    last->m_data[last->m_written++] = unit;
  }

  // Ends the key being built with a 0 unit and returns its node: the one
  // already there for an equal key (the new copy is dropped), else a new one.
  const Node *intern() {
    push(0);
    Block &last = m_blocks.back();
    const Unit *key = last.m_data.get() + last.m_keyStart;
    const std::size_t length = last.m_written - last.m_keyStart;

    Node *reached = m_root;
    for (;;) {
      Node *next = reached->m_links[bitAt(key, length, reached->m_bitIndex)];
      const bool down = next->m_bitIndex > reached->m_bitIndex;
      reached = next;
      if (!down)
        break;
    }
    if (static_cast<std::size_t>(reached->m_length) == length &&
        std::equal(key, key + length, reached->m_key)) {
      last.m_written = last.m_keyStart;
      return reached;
    }
    const std::int32_t critical = criticalBit(key, length, reached->m_key, reached->m_length);
    if (critical < 0) {
      // Keys equal but for trailing 0 units cannot be told apart by bits.
      last.m_written = last.m_keyStart;
      assertFailedThrow(__FILE_NAME__, __LINE__,
                        "critical >= 0 && \"keys must differ within their lengths\"");
    }
    last.m_keyStart = last.m_written;

    Node **link = &m_root;
    Node *at = m_root;
    std::int32_t previous = -1;
    while (critical > at->m_bitIndex && previous < at->m_bitIndex) {
      previous = at->m_bitIndex;
      link = &at->m_links[bitAt(key, length, at->m_bitIndex)];
      at = *link;
    }
    Node &node =
        m_nodes.emplace_back(Node{key, static_cast<std::int32_t>(length), critical, {nullptr, nullptr}});
    const int side = bitAt(key, length, critical);
    node.m_links[side] = &node;
    node.m_links[1 - side] = at;
    *link = &node;
    return &node;
  }

  const Node *root() const { return m_root; }

  // The storage, for inspection: number of blocks, and each block's size and
  // the units written into it.
  std::size_t blockCount() const { return m_blocks.size(); }
  std::size_t blockCapacity(std::size_t block) const { return m_blocks.at(block).m_capacity; }
  std::size_t blockWritten(std::size_t block) const { return m_blocks.at(block).m_written; }
  const Unit *blockData(std::size_t block) const { return m_blocks.at(block).m_data.get(); }

  // Bit `index` of a key: bit (index mod unit bits) of unit (index div unit
  // bits), 0 beyond the key's last unit.
  static int bitAt(const Unit *key, std::size_t length, std::int32_t index) {
    const std::size_t unit = static_cast<std::size_t>(index) / kUnitBits;
    if (unit >= length)
      return 0;
    return static_cast<int>((static_cast<Bits>(key[unit]) >> (index % kUnitBits)) & 1u);
  }

  // Lowest-numbered bit in which two keys differ, or -1 when they do not.
  static std::int32_t criticalBit(const Unit *a, std::size_t aLength, const Unit *b, std::size_t bLength) {
    const std::size_t longer = aLength > bLength ? aLength : bLength;
    for (std::size_t i = 0; i < longer; ++i) {
      const Bits x = i < aLength ? static_cast<Bits>(a[i]) : 0;
      const Bits y = i < bLength ? static_cast<Bits>(b[i]) : 0;
      if (x != y)
        return static_cast<std::int32_t>(i * kUnitBits) + std::countr_zero(static_cast<Bits>(x ^ y));
    }
    return -1;
  }

private:
  // An array of units with the end of what is written and the start of the
  // key being built (meaningful in the last block only).
  struct Block {
    std::unique_ptr<Unit[]> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_written = 0;
    std::size_t m_keyStart = 0;
  };

  void appendBlock(std::size_t capacity) {
    m_blocks.push_back(Block{std::make_unique<Unit[]>(capacity), capacity, 0, 0});
  }

  Node *m_root = nullptr;
  std::vector<Block> m_blocks;
  std::deque<Node> m_nodes; // owns every node; addresses stay put
};
