// The record a define keeps of the ordered define sets that hold it, so that
// a change of its kind or flags can take it out of each and put it back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class P_DefineSet;

// None, one set held in place, or a list of sets on the heap: most defines sit
// in one set, so the record costs one word.
class P_DefineSetLinks {
public:
  P_DefineSetLinks() = default;
  P_DefineSetLinks(const P_DefineSetLinks &) = delete;
  P_DefineSetLinks &operator=(const P_DefineSetLinks &) = delete;
  ~P_DefineSetLinks() { std::unique_ptr<Many> many(list()); }

  bool empty() const { return m_bits == 0; }

  void add(P_DefineSet *set) {
    if (m_bits == 0) {
      m_bits = reinterpret_cast<std::uintptr_t>(set);
      return;
    }
    if (Many *many = list()) {
      many->push_back(set);
      return;
    }
    auto many = std::make_unique<Many>();
    many->reserve(2);
    many->push_back(single());
    many->push_back(set);
    m_bits = reinterpret_cast<std::uintptr_t>(many.release()) | kMany;
  }

  // Forgets one link to the set; nothing when there is none.
  void remove(P_DefineSet *set) {
    if (Many *many = list()) {
      for (std::size_t i = 0; i < many->size(); ++i)
        if ((*many)[i] == set) {
          many->erase(many->begin() + static_cast<std::ptrdiff_t>(i));
          break;
        }
      if (many->size() <= 1) {
        P_DefineSet *left = many->empty() ? nullptr : many->front();
        std::unique_ptr<Many> gone(many);
        m_bits = reinterpret_cast<std::uintptr_t>(left);
      }
      return;
    }
    if (single() == set)
      m_bits = 0;
  }

  std::size_t count() const {
    if (const Many *many = list())
      return many->size();
    return m_bits == 0 ? 0 : 1;
  }

  // Copies the sets to out, which has room for count() of them, so that the
  // caller may change the links meanwhile.
  void copyTo(P_DefineSet **out) const {
    if (const Many *many = list()) {
      for (P_DefineSet *set : *many)
        *out++ = set;
    } else if (m_bits != 0) {
      *out = single();
    }
  }

private:
  using Many = std::vector<P_DefineSet *>;
  static constexpr std::uintptr_t kMany = 1; // sets are aligned: the low bit is free

  P_DefineSet *single() const { return reinterpret_cast<P_DefineSet *>(m_bits); }
  Many *list() const { return (m_bits & kMany) ? reinterpret_cast<Many *>(m_bits & ~kMany) : nullptr; }

  std::uintptr_t m_bits = 0;
};
