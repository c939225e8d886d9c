// A map keyed by the address of an interned text: one probe into one flat
// table as a rule, and no allocation per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// Open addressing with linear probing over a power-of-two table that is at
// most half full. Keys are non-null addresses; entries are never removed one
// by one, only all at once. The order of the entries is not kept: the map
// answers lookups only.
template <class Value> class P_AddressMap {
public:
  // The value filed under the key, or null.
  const Value *find(const char *key) const {
    if (m_slots.empty())
      return nullptr;
    for (std::size_t i = slotOf(key);; i = (i + 1) & m_mask) {
      const Slot &slot = m_slots[i];
      if (slot.key == key)
        return &slot.value;
      if (!slot.key)
        return nullptr;
    }
  }

  std::size_t count(const char *key) const { return find(key) ? 1 : 0; }

  // Files the value under the key unless the key has one already; gives the
  // value filed under the key and whether it is the one given.
  std::pair<Value *, bool> tryEmplace(const char *key, const Value &value) {
    if (2 * (m_size + 1) > m_slots.size())
      grow();
    for (std::size_t i = slotOf(key);; i = (i + 1) & m_mask) {
      Slot &slot = m_slots[i];
      if (slot.key == key)
        return {&slot.value, false};
      if (!slot.key) {
        slot.key = key;
        slot.value = value;
        ++m_size;
        return {&slot.value, true};
      }
    }
  }

  // Forgets every entry and gives the table back.
  void clear() {
    std::vector<Slot>().swap(m_slots);
    m_size = 0;
    m_mask = 0;
  }

  std::size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }

private:
  struct Slot {
    const char *key = nullptr;
    Value value{};
  };

  std::size_t slotOf(const char *key) const {
    // Fibonacci hashing of the address: its high bits pick the slot.
    const std::uint64_t mixed =
        static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(mixed >> 32) & m_mask;
  }

  void grow() {
    std::vector<Slot> old(m_slots.empty() ? 16 : 2 * m_slots.size());
    old.swap(m_slots);
    m_mask = m_slots.size() - 1;
    for (Slot &slot : old) {
      if (!slot.key)
        continue;
      std::size_t i = slotOf(slot.key);
      while (m_slots[i].key)
        i = (i + 1) & m_mask;
      m_slots[i].key = slot.key;
      std::swap(m_slots[i].value, slot.value);
    }
  }

  std::vector<Slot> m_slots;
  std::size_t m_size = 0;
  std::size_t m_mask = 0;
};
