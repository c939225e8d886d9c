// The begin step shared by the walks of the query interface.
#pragma once

#include "anlsrslt/model/impl/IterCont.h"

#include <cstdint>

// A walk over the whole collection in the store of its slot type; the id.
template <class Slot, class Collection> std::int32_t beginWalk(const Collection &collection) {
  return IterCont<Slot>::instance().create(collection.begin(), collection.end()).id;
}
