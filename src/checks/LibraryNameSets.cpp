#include "checks/LibraryNameSets.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string_view>

namespace {

// Ends each source list; it holds blanks, so it is never a name.
constexpr const char *kEndOfList = "L A S T";

template <std::size_t N> constexpr bool inStrictByteOrder(const char *const (&names)[N]) {
  for (std::size_t i = 1; i + 1 < N; ++i)
    if (!(std::string_view(names[i - 1]) < std::string_view(names[i])))
      return false;
  return true;
}

// The source lists, each ended by the marker.
#define LIBRARY_NAME_SET(set, count, ...)                                                                    \
  constexpr const char *set##Names[] = {__VA_ARGS__, kEndOfList};                                            \
  static_assert(std::size(set##Names) == (count) + 1, #set ": count");                                       \
  static_assert(inStrictByteOrder(set##Names), #set ": byte order");
#include "checks/LibraryNameSets.def"

// The sets themselves, created empty on first use.
#define LIBRARY_NAME_SET(set, count, ...)                                                                    \
  LibraryNameSet &set##Storage() {                                                                           \
    static LibraryNameSet names;                                                                             \
    return names;                                                                                            \
  }
#include "checks/LibraryNameSets.def"

struct SourceList {
  LibraryNameSet &(*set)();
  const char *const *names;
};

// In the order in which the sets are filled.
const SourceList kSourceLists[] = {
#define LIBRARY_NAME_SET(set, count, ...) {&set##Storage, set##Names},
#include "checks/LibraryNameSets.def"
};
static_assert(std::size(kSourceLists) == 11, "eleven library-name sets");

} // namespace

#define LIBRARY_NAME_SET(set, count, ...)                                                                    \
  const LibraryNameSet &set() { return set##Storage(); }
#include "checks/LibraryNameSets.def"

void buildLibraryNameSets() {
  for (const SourceList &source : kSourceLists) {
    LibraryNameSet &set = source.set();
    set.clear();
    // The lists are in byte order: each name goes in at the end.
    for (const char *const *name = source.names; std::strcmp(*name, kEndOfList) != 0; ++name)
      set.insert(set.end(), *name);
  }
}
