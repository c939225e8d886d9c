// The iterator stores behind the integer iteration ids of the query
// interface: each id names a slot that holds the current and the end
// position of one walk over a model collection.
#pragma once

#include "foundation/Assertion.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

// A store of walks for slot type S (see anlsrslt/model/IterSlots.h). Ids count
// up from 0 in each store; the step that reaches a walk's end frees its id,
// and freed ids are handed out again last in, first out. A walk that is empty
// from the start or left before its end keeps its id for good.
//
// Misuse ends the process through a failed assertion: an id below 0 or not
// yet handed out, and a step on a walk that is already at its end.
template <class S> class IterCont {
public:
  using Position = typename S::Position;
  using Element = typename S::Element;

  // The process-wide store of S, built empty on first use.
  static IterCont &instance() {
    static IterCont store;
    return store;
  }

  // Tests may make stores of their own.
  IterCont() = default;
  IterCont(const IterCont &) = delete;
  IterCont &operator=(const IterCont &) = delete;

  // Starts a walk from begin to end and gives its slot; the slot's id is the
  // iteration id. Further arguments go to the slot's start (a walk that must
  // keep its collection alive takes it there). An allocation failure hands
  // out no id.
  template <class... Keep> S &create(Position begin, Position end, Keep &&...keep) {
    if (!(static_cast<std::size_t>(nextId) >= itStore.size()))
      assertFailed(__FILE_NAME__, __LINE__,
                   "nextId >= itStore.size () && \"STL container out of sink with Id numbers.\"", true);
    std::int32_t id;
    if (!freeIds.empty()) {
      id = freeIds.back();
      freeIds.pop_back();
    } else {
      itStore.emplace_back();
      id = nextId++;
      itStore[id].id = id;
    }
    S &slot = itStore[id];
    slot.start(begin, end, std::forward<Keep>(keep)...);
    return slot;
  }

  // Whether the walk stands at its end.
  bool atEnd(std::int32_t key) const {
    const S &slot = slotOf(key);
    return slot.pos == slot.end;
  }

  // The element the walk stands on; null (0) at the end.
  Element current(std::int32_t key) const {
    const S &slot = slotOf(key);
    if (slot.pos == slot.end)
      return Element{};
    return slot.element();
  }

  // Steps the walk once; true when it has now reached its end, and its id is
  // free for reuse.
  bool next(std::int32_t key) {
    S &slot = slotOf(key);
    if (slot.pos == slot.end)
      assertFailed(__FILE_NAME__, __LINE__, "pos != end && \"Iterator is already at its end.\"", true);
    ++slot.pos;
    if (slot.pos != slot.end)
      return false;
    freeIds.push_back(key);
    return true;
  }

  // The number of ids handed out so far, and how many of them are free.
  std::int32_t idCount() const { return nextId; }
  std::size_t freeCount() const { return freeIds.size(); }

private:
  const S &slotOf(std::int32_t key) const {
    if (!(key >= 0 && key < nextId))
      assertFailed(__FILE_NAME__, __LINE__, "key < nextId && \"Iterator Id is out of range.\"", true);
    return itStore[key];
  }
  S &slotOf(std::int32_t key) { return const_cast<S &>(static_cast<const IterCont &>(*this).slotOf(key)); }

  std::int32_t nextId = 0;
  std::vector<S> itStore;
  std::deque<std::int32_t> freeIds;
};
