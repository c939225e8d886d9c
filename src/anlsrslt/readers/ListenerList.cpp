#include "anlsrslt/readers/ListenerList.h"

std::uint64_t &P_ListenerLists::counter() {
  static std::uint64_t generation = 0;
  return generation;
}
