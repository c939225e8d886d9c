// A hash index of texts that are stored elsewhere and never move (interned
// texts): finding a text costs one hash of it and, as a rule, one look at one
// slot, whatever the number of texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <vector>

// Open addressing with linear probing. Each slot keeps 32 bits of the text's
// hash, its length and address, and a value, so that probing reads slots
// only; the table doubles before it is half full, placing the slots again by
// their kept hash bits without reading the texts. Texts are never removed.
template <class Value> class U_TextHashIndex {
public:
  struct Slot {
    std::uint32_t hash;
    std::uint32_t length;
    const char *text; // null: the slot is free
    [[no_unique_address]] Value value;
  };

  static std::uint32_t hashOf(std::string_view text) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>()(text));
  }

  // The slot of an equal text, or null. A text at the very address of a kept
  // one is found without comparing bytes.
  const Slot *find(std::string_view text, std::uint32_t hash) const {
    if (m_slots.empty())
      return nullptr;
    for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
      const Slot &slot = m_slots[i];
      if (!slot.text)
        return nullptr;
      if (slot.hash == hash && slot.length == text.size() &&
          (slot.text == text.data() || std::memcmp(slot.text, text.data(), text.size()) == 0))
        return &slot;
    }
  }

  // Adds a text that is not in the index yet; it must stay where it is for
  // the life of the index. Texts longer than 4 GiB are refused.
  void insert(std::string_view text, std::uint32_t hash, Value value) {
    if (text.size() > UINT32_MAX)
      throw std::length_error("text too long for the index");
    if (2 * (m_size + 1) > m_slots.size())
      grow();
    place(Slot{hash, static_cast<std::uint32_t>(text.size()), text.data(), value});
    ++m_size;
  }

  std::size_t size() const { return m_size; }

private:
  void place(const Slot &entry) {
    for (std::size_t i = entry.hash & m_mask;; i = (i + 1) & m_mask) {
      if (!m_slots[i].text) {
        m_slots[i] = entry;
        return;
      }
    }
  }

  void grow() {
    std::vector<Slot> old(m_slots.empty() ? 1024 : 2 * m_slots.size(), Slot{0, 0, nullptr, Value()});
    old.swap(m_slots);
    m_mask = m_slots.size() - 1;
    for (const Slot &slot : old)
      if (slot.text)
        place(slot);
  }

  std::vector<Slot> m_slots;
  std::size_t m_mask = 0;
  std::size_t m_size = 0;
};
