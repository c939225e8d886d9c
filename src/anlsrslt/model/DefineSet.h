// The ordered define sets of the model: the declarations of a symbol and the
// redeclarations filed under each of them.
#pragma once

#include "anlsrslt/model/Define.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <set>

struct P_Symbol;

// A set of defines in isDefineLess order in which equivalent defines are one
// entry (the first one stays); it holds one reference of each. Each define
// it holds knows the set, so that a define whose kind or flags change
// (P_changeDefine) is taken out before the change and put back after it;
// when an equivalent define is there by then, it is not put back. The
// declaration set of a symbol (a set with an owner) holds one entry a place
// (P_isAtSamePlace): a define that changes to the place of another entry
// leaves it, that entry absorbs it, and the symbol is told so.
//
// Most sets hold one or two defines: up to kArrayLimit of them are kept in a
// sorted array (a single one in place), more in a tree, so that a set of
// very many defines still takes each new one in logarithmic time.
class P_DefineSet {
  // A define taken with other kind bits and flags.
  struct Probe {
    const P_Define &def;
    std::uint8_t kind;
    std::uint32_t flags;
  };
  struct RawLess {
    using is_transparent = void;
    bool operator()(const P_Define *a, const P_Define *b) const { return isDefineLess(*a, *b); }
    bool operator()(const P_Define *a, const P_Define &b) const { return isDefineLess(*a, b); }
    bool operator()(const P_Define &a, const P_Define *b) const { return isDefineLess(a, *b); }
    bool operator()(const P_Define *a, const Probe &b) const {
      return P_compareDefineTo(*a, b.def, b.kind, b.flags) < 0;
    }
    bool operator()(const Probe &a, const P_Define *b) const {
      return P_compareDefineTo(*b, a.def, a.kind, a.flags) > 0;
    }
  };
  using Tree = std::set<P_Define *, RawLess>;

public:
  static constexpr std::uint32_t kArrayLimit = 64;

  // Walks the defines in order.
  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = P_Define *;
    using difference_type = std::ptrdiff_t;
    using pointer = P_Define *const *;
    using reference = P_Define *;

    const_iterator() = default;
    P_Define *operator*() const { return m_inTree ? *m_node : *m_at; }
    const_iterator &operator++() {
      if (m_inTree)
        ++m_node;
      else
        ++m_at;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator &a, const const_iterator &b) {
      return a.m_inTree ? a.m_node == b.m_node : a.m_at == b.m_at;
    }
    friend bool operator!=(const const_iterator &a, const const_iterator &b) { return !(a == b); }

  private:
    friend class P_DefineSet;
    explicit const_iterator(P_Define *const *at) : m_at(at) {}
    explicit const_iterator(Tree::const_iterator node) : m_node(node), m_inTree(true) {}

    P_Define *const *m_at = nullptr;
    Tree::const_iterator m_node{};
    bool m_inTree = false;
  };

  // A set of the symbol's declarations has the symbol as owner; other sets
  // have none.
  explicit P_DefineSet(P_Symbol *owner = nullptr) : m_owner(owner) {}
  P_DefineSet(const P_DefineSet &) = delete;
  P_DefineSet &operator=(const P_DefineSet &) = delete;
  ~P_DefineSet();

  // Inserts the define unless an equivalent one is there. Gives the define of
  // the set that is equivalent to it: the define itself when it went in.
  P_Define *insert(const DefinePtr &def);

  bool contains(const P_Define *def) const;
  // The entry at the define's place (P_isAtSamePlace), or null.
  P_Define *atPlace(const P_Define &def) const;
  std::size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  const_iterator begin() const;
  const_iterator end() const;

private:
  friend void P_changeDefine(P_Define &def, std::uint8_t kind, std::uint32_t flags);

  static constexpr std::uint32_t kTreeMode = UINT32_MAX;

  bool inTree() const { return m_capacity == kTreeMode; }
  P_Define **array() { return m_capacity == 1 ? &m_one : m_array; }
  P_Define *const *array() const { return m_capacity == 1 ? &m_one : m_array; }
  // The define equivalent to def, or null.
  P_Define *findEquivalent(const P_Define &def) const;
  // The first define not less than def taken with the given kind and flags,
  // or null.
  P_Define *firstNotLess(const P_Define &def, std::uint8_t kind, std::uint32_t flags) const;
  // Adds the define unless an equivalent define is there; gives that define,
  // or null when the define went in.
  P_Define *place(P_Define &def);
  // Adds the define at that place of the array.
  void insertAt(std::uint32_t index, P_Define &def);
  // Moves the defines of a full array into a tree.
  void makeTree();
  // Where a define stands in the set, found by identity under its order
  // before a change.
  struct Place {
    bool found = false;
    std::uint32_t index = 0;
    Tree::const_iterator node{};
  };
  Place locate(const P_Define &def) const;
  // Whether the define at the place, changed meanwhile, still stands between
  // its neighbours and is equivalent to neither.
  bool stillInOrder(const Place &place) const;
  // Removes the define at the place.
  void eraseAt(const Place &place);

  union {
    P_Define *m_one = nullptr; // capacity 1: the one define in place
    P_Define **m_array;        // a larger capacity: the sorted array
    Tree *m_tree;              // tree mode
  };
  std::uint32_t m_size = 0;
  std::uint32_t m_capacity = 1;
  P_Symbol *m_owner;
};

// Gives the define new kind bits and flags. Every define set that holds it
// takes it out before the change and puts it back after it, so that no set
// holds a define out of order or two equivalent defines, and no declaration
// set two defines at one place. A set without owner that already holds an
// equivalent define keeps that one. In a declaration set that holds another
// define at the new place, that define absorbs the changed one
// (P_absorbDefine), and the owner symbol hands what it filed under the
// changed define over to it (P_Symbol::defineMerged).
void P_changeDefine(P_Define &def, std::uint8_t kind, std::uint32_t flags);

// The entry takes the define's declaration and definition bits and its flags,
// through P_changeDefine.
void P_absorbDefine(P_Define &entry, const P_Define &def);
