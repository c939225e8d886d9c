// The begin step shared by the walks of the query interface.
#pragma once

#include "anlsrslt/model/impl/IterCont.h"

#include <cstdint>

// A walk over the whole collection in the store of its slot type; the id.
template <class Slot, class Collection> std::int32_t beginWalk(const Collection &collection) {
  return IterCont<Slot>::instance().create(collection.begin(), collection.end()).id;
}

// The at-end, current and next members of the walks of one slot type.
#define PI_WALK_MEMBERS(Slot, AtEnd, Current, Next)                                                          \
  bool AtEnd(std::int32_t id) { return IterCont<Slot>::instance().atEnd(id); }                               \
  Slot::Element Current(std::int32_t id) { return IterCont<Slot>::instance().current(id); }                  \
  bool Next(std::int32_t id) { return IterCont<Slot>::instance().next(id); }
