#include "anlsrslt/model/DefineSet.h"

#include "anlsrslt/model/Symbol.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

using ArrayAllocator = std::allocator<P_Define *>;

// The first of the sorted defines that is not less than def.
P_Define **lowerBound(P_Define **first, std::uint32_t size, const P_Define &def) {
  return std::lower_bound(first, first + size, def, [](const P_Define *entry, const P_Define &key) {
    return isDefineLess(*entry, key);
  });
}

} // namespace

P_DefineSet::~P_DefineSet() {
  if (inTree()) {
    const std::unique_ptr<Tree> tree(m_tree);
    for (P_Define *def : *tree) {
      def->m_sets.remove(this);
      def->releaseReference();
    }
    return;
  }
  P_Define **defines = array();
  for (std::uint32_t i = 0; i < m_size; ++i) {
    defines[i]->m_sets.remove(this);
    defines[i]->releaseReference();
  }
  if (m_capacity > 1)
    ArrayAllocator().deallocate(m_array, m_capacity);
}

P_DefineSet::const_iterator P_DefineSet::begin() const {
  return inTree() ? const_iterator(m_tree->cbegin()) : const_iterator(array());
}

P_DefineSet::const_iterator P_DefineSet::end() const {
  return inTree() ? const_iterator(m_tree->cend()) : const_iterator(array() + m_size);
}

P_Define *P_DefineSet::findEquivalent(const P_Define &def) const {
  if (inTree()) {
    const auto found = m_tree->find(def);
    return found == m_tree->end() ? nullptr : *found;
  }
  P_Define *const *first = array();
  P_Define *const *at = lowerBound(const_cast<P_Define **>(first), m_size, def);
  return (at != first + m_size && !isDefineLess(def, **at)) ? *at : nullptr;
}

P_Define *P_DefineSet::firstNotLess(const P_Define &def, std::uint8_t kind, std::uint32_t flags) const {
  const Probe probe{def, kind, flags};
  if (inTree()) {
    const auto found = m_tree->lower_bound(probe);
    return found == m_tree->end() ? nullptr : *found;
  }
  P_Define *const *first = array();
  P_Define *const *at = std::lower_bound(first, first + m_size, probe, RawLess());
  return at == first + m_size ? nullptr : *at;
}

P_Define *P_DefineSet::atPlace(const P_Define &def) const {
  // Defines at one place differ only in the declaration and definition bits
  // and in the flags, which come last in the order: one lookup for each
  // combination of the bits, at the least flags, until the first define
  // found lies beyond every combination.
  const std::uint8_t others = def.m_kind & ~P_kindDeclarationOrDefinition;
  const std::uint8_t last = others | P_kindDeclarationOrDefinition;
  for (std::uint8_t bits = 0; bits <= P_kindDeclarationOrDefinition; ++bits) {
    P_Define *entry = firstNotLess(def, others | bits, 0);
    if (!entry || P_compareDefineTo(*entry, def, last, UINT32_MAX) > 0)
      return nullptr;
    if (P_isAtSamePlace(*entry, def))
      return entry;
  }
  return nullptr;
}

P_Define *P_DefineSet::place(P_Define &def) {
  if (!inTree()) {
    P_Define **first = array();
    P_Define **at = lowerBound(first, m_size, def);
    if (at != first + m_size && !isDefineLess(def, **at))
      return *at;
    if (m_size < kArrayLimit) {
      insertAt(static_cast<std::uint32_t>(at - first), def);
      return nullptr;
    }
    makeTree();
  }
  const auto [at, inserted] = m_tree->insert(&def);
  if (!inserted)
    return *at;
  ++m_size;
  def.addReference();
  def.m_sets.add(this);
  return nullptr;
}

void P_DefineSet::insertAt(std::uint32_t index, P_Define &def) {
  if (m_size == m_capacity) {
    const std::uint32_t capacity = 2 * m_capacity;
    P_Define **grown = ArrayAllocator().allocate(capacity);
    std::copy(array(), array() + m_size, grown);
    if (m_capacity > 1)
      ArrayAllocator().deallocate(m_array, m_capacity);
    m_array = grown;
    m_capacity = capacity;
  }
  P_Define **first = array();
  std::move_backward(first + index, first + m_size, first + m_size + 1);
  first[index] = &def;
  ++m_size;
  def.addReference();
  def.m_sets.add(this);
}

void P_DefineSet::makeTree() {
  auto tree = std::make_unique<Tree>();
  for (std::uint32_t i = 0; i < m_size; ++i)
    tree->insert(tree->end(), m_array[i]);
  ArrayAllocator().deallocate(m_array, m_capacity);
  m_tree = tree.release();
  m_capacity = kTreeMode;
}

P_Define *P_DefineSet::insert(const DefinePtr &def) {
  if (!def.isSet())
    return nullptr;
  P_Define *same = place(*def);
  return same ? same : def.pointer();
}

bool P_DefineSet::contains(const P_Define *def) const { return def && findEquivalent(*def) == def; }

P_DefineSet::Place P_DefineSet::locate(const P_Define &def) const {
  Place place;
  if (inTree()) {
    const auto found = m_tree->find(def);
    place.found = found != m_tree->end() && *found == &def;
    place.node = found;
    return place;
  }
  P_Define *const *first = array();
  P_Define *const *at = lowerBound(const_cast<P_Define **>(first), m_size, def);
  place.found = at != first + m_size && *at == &def;
  place.index = static_cast<std::uint32_t>(at - first);
  return place;
}

bool P_DefineSet::stillInOrder(const Place &place) const {
  if (inTree()) {
    const P_Define &def = **place.node;
    if (place.node != m_tree->begin() && !isDefineLess(**std::prev(place.node), def))
      return false;
    const auto next = std::next(place.node);
    return next == m_tree->end() || isDefineLess(def, **next);
  }
  P_Define *const *defines = array();
  const P_Define &def = *defines[place.index];
  if (place.index > 0 && !isDefineLess(*defines[place.index - 1], def))
    return false;
  return place.index + 1 == m_size || isDefineLess(def, *defines[place.index + 1]);
}

void P_DefineSet::eraseAt(const Place &place) {
  P_Define *def;
  if (inTree()) {
    def = *place.node;
    m_tree->erase(place.node);
  } else {
    P_Define **first = array();
    def = first[place.index];
    std::move(first + place.index + 1, first + m_size, first + place.index);
    if (m_capacity == 1)
      m_one = nullptr;
  }
  --m_size;
  def->m_sets.remove(this);
  def->releaseReference();
}

void P_changeDefine(P_Define &def, std::uint8_t kind, std::uint32_t flags) {
  if (def.m_kind == kind && def.m_flags == flags)
    return;
  const std::size_t count = def.m_sets.count();
  if (count == 0) {
    def.m_kind = kind;
    def.m_flags = flags;
    return;
  }
  const bool placeChanges = ((def.m_kind ^ kind) & ~P_kindDeclarationOrDefinition) != 0;
  // Each set that holds the define gives its place under the old order; a
  // set where the changed define no longer fits takes it out and puts it
  // back where it now belongs, or not at all when an equivalent define is
  // there. That is the same as taking it out before the change.
  const DefinePtr keep(&def);
  constexpr std::size_t kInPlace = 4;
  P_DefineSet *setsInPlace[kInPlace];
  P_DefineSet::Place placesInPlace[kInPlace];
  std::vector<P_DefineSet *> moreSets(count > kInPlace ? count : 0);
  std::vector<P_DefineSet::Place> morePlaces(count > kInPlace ? count : 0);
  P_DefineSet **sets = count > kInPlace ? moreSets.data() : setsInPlace;
  P_DefineSet::Place *places = count > kInPlace ? morePlaces.data() : placesInPlace;
  def.m_sets.copyTo(sets);
  for (std::size_t i = 0; i < count; ++i)
    places[i] = sets[i]->locate(def);
  def.m_kind = kind;
  def.m_flags = flags;
  // Owners are told once every set has the define back, as far as it goes
  // back: what the entries absorb and the owners hand over may go into the
  // other sets.
  std::vector<std::pair<P_Symbol *, DefinePtr>> merged;
  for (std::size_t i = 0; i < count; ++i) {
    P_DefineSet &set = *sets[i];
    // A declaration set may hold another define at the new place, anywhere
    // between the define's neighbours.
    const bool mayMeetItsPlace = placeChanges && set.m_owner;
    if (!places[i].found || (!mayMeetItsPlace && set.stillInOrder(places[i])))
      continue;
    set.eraseAt(places[i]);
    if (P_Define *held = mayMeetItsPlace ? set.atPlace(def) : nullptr)
      merged.emplace_back(set.m_owner, DefinePtr(held));
    else
      set.place(def);
  }
  for (const auto &[owner, held] : merged) {
    P_absorbDefine(*held, def);
    owner->defineMerged(def, *held);
  }
}

void P_absorbDefine(P_Define &entry, const P_Define &def) {
  P_changeDefine(entry, entry.m_kind | (def.m_kind & P_kindDeclarationOrDefinition),
                 entry.m_flags | def.m_flags);
}
