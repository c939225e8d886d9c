#include "foundation/Location.h"

#include "foundation/LocDataPropertyMap.h"

#include <string_view>

namespace {

using PlainLocation = LocDataPropertyMap<NoInclLoc, NoMacroHist, NoHLLoc, NoInstFromLoc, NoCalledFromLoc>;
using HLOnlyLocation = LocDataPropertyMap<NoInclLoc, NoMacroHist, HLLoc, NoInstFromLoc, NoCalledFromLoc>;
using InclOnlyLocation = LocDataPropertyMap<InclLoc, NoMacroHist, NoHLLoc, NoInstFromLoc, NoCalledFromLoc>;
using FullLocation = LocDataPropertyMap<InclLoc, MacroHist, HLLoc, InstFromLoc, CalledFromLoc>;

// Absent parts take no room and presence is not stored: a location object is
// its base values plus the fields of the parts it has.
static_assert(sizeof(PlainLocation) == sizeof(U_LocationData));
static_assert(sizeof(InclOnlyLocation) == sizeof(U_LocationData) + sizeof(InclLoc));
static_assert(sizeof(HLOnlyLocation) <= sizeof(U_LocationData) + sizeof(HLLoc));
static_assert(sizeof(FullLocation) <= sizeof(U_LocationData) + sizeof(InclLoc) + sizeof(MacroHist) +
                                          sizeof(HLLoc) + sizeof(InstFromLoc) + sizeof(CalledFromLoc));

// The part of a location object, reached through its type; null when the
// location lacks the part.
template <class Part> const Part *partOf(const U_LocationData *data) {
  return dynamic_cast<const Part *>(data);
}

template <class Part> const Part &requiredPart(const U_LocationData *data) {
  const Part *part = partOf<Part>(data);
  U_ASSERT(0 != part && "Ask for the part first.");
  return *part;
}

template <class Incl>
U_LocationData *withMacro(const QL_Filename &file, std::int32_t line, std::int32_t column, const Incl &incl,
                          const U_RefPtr<U_MacroHistory> &macroHist) {
  if (macroHist.isSet())
    return makeLocationData(file, line, column, incl, MacroHist(macroHist));
  return makeLocationData(file, line, column, incl, NoMacroHist());
}

int compareLines(const U_LocationData *a, const U_LocationData *b) {
  if (a->line() != b->line())
    return a->line() < b->line() ? -1 : 1;
  if (a->column() != b->column())
    return a->column() < b->column() ? -1 : 1;
  return 0;
}

// Null locations come first; 2 when both are set.
int compareNull(const U_Location &a, const U_Location &b) {
  if (a.isSet() && b.isSet())
    return 2;
  if (a.isSet() == b.isSet())
    return 0;
  return a.isSet() ? 1 : -1;
}

} // namespace

U_Location::U_Location(const QL_Filename &file, std::int32_t line, std::int32_t column)
    : m_data(makeLocationData(file, line, column, NoInclLoc(), NoMacroHist())) {}

U_Location::U_Location(const U_Location &inclLoc, const QL_Filename &file, std::int32_t line,
                       std::int32_t column)
    : m_data(inclLoc.isSet() ? makeLocationData(file, line, column, InclLoc(inclLoc), NoMacroHist())
                             : makeLocationData(file, line, column, NoInclLoc(), NoMacroHist())) {}

U_Location::U_Location(const QL_Filename &file, std::int32_t line, std::int32_t column,
                       const U_RefPtr<U_MacroHistory> &macroHist)
    : m_data(withMacro(file, line, column, NoInclLoc(), macroHist)) {}

U_Location::U_Location(const U_Location &inclLoc, const QL_Filename &file, std::int32_t line,
                       std::int32_t column, const U_RefPtr<U_MacroHistory> &macroHist)
    : m_data(inclLoc.isSet() ? withMacro(file, line, column, InclLoc(inclLoc), macroHist)
                             : withMacro(file, line, column, NoInclLoc(), macroHist)) {}

U_Location U_Location::getInclLoc() const {
  if (!checked()->hasInclLoc())
    return U_Location();
  return requiredPart<InclLoc>(m_data.pointer()).m_inclLoc;
}

U_RefPtr<U_MacroHistory> U_Location::getMacroHist() const {
  return requiredPart<MacroHist>(checked()).m_macroHist;
}

QL_Filename U_Location::getHLFile() const { return requiredPart<HLLoc>(checked()).m_hlFile; }

std::int32_t U_Location::getHLLine() const { return requiredPart<HLLoc>(checked()).m_hlLine; }

U_Location U_Location::getInstFromLoc() const { return requiredPart<InstFromLoc>(checked()).m_instFromLoc; }

U_RefPtr<U_EntityDisplayName> U_Location::getInstEntity() const {
  return requiredPart<InstFromLoc>(checked()).m_entity;
}

std::uint32_t U_Location::getInstDepth() const { return requiredPart<InstFromLoc>(checked()).m_depth; }

U_Location U_Location::getCalledFromLoc() const {
  return requiredPart<CalledFromLoc>(checked()).m_calledFromLoc;
}

U_Location U_Location::withHLLoc(const QL_Filename &file, std::int32_t line) const {
  return checked()->withHLLoc(file, line);
}

U_Location U_Location::withInstFromLoc(const U_Location &instFromLoc,
                                       const U_RefPtr<U_EntityDisplayName> &entity) const {
  U_ASSERT(instFromLoc.isSet() && "An instantiation needs the location it was instantiated from.");
  return checked()->withInstFromLoc(instFromLoc, entity);
}

U_Location U_Location::withCalledFromLoc(const U_Location &calledFromLoc) const {
  return checked()->withCalledFromLoc(calledFromLoc);
}

bool U_Location::sameFile(const U_Location &a, const U_Location &b) {
  if (a == b)
    return true;
  if (!a.isSet() || !b.isSet())
    return false;
  return a.getFile().canonical() == b.getFile().canonical();
}

U_Location U_Location::mainFileLocation(U_Location location) {
  while (location.hasInclLoc())
    location = location.getInclLoc();
  return location;
}

int U_compareLocations(const U_Location &a, const U_Location &b) {
  if (const int nulls = compareNull(a, b); nulls != 2)
    return nulls;
  const U_Filename &fileA = a.getFile().canonical();
  const U_Filename &fileB = b.getFile().canonical();
  if (fileA != fileB)
    return fileA < fileB ? -1 : 1;
  return compareLines(a.data(), b.data());
}

int U_compareLocationsByName(const U_Location &a, const U_Location &b) {
  if (const int nulls = compareNull(a, b); nulls != 2)
    return nulls;
  const U_Filename &fileA = a.getFile().canonical();
  const U_Filename &fileB = b.getFile().canonical();
  if (fileA != fileB) {
    // std::string_view compares bytes as unsigned values. Names that agree up
    // to a NUL byte are still different files: they keep their interning order,
    // so that 0 means the same file.
    const int order = std::string_view(fileA.c_str()).compare(fileB.c_str());
    if (order != 0)
      return order < 0 ? -1 : 1;
    return fileA < fileB ? -1 : 1;
  }
  return compareLines(a.data(), b.data());
}

bool U_isLocationLess(const U_Location &a, const U_Location &b) { return U_compareLocations(a, b) == -1; }

bool U_sameLocation(const U_Location &a, const U_Location &b) {
  return a == b || U_compareLocations(a, b) == 0;
}

std::uint32_t instantiationDepth(const U_Location &location) {
  if (!location.hasInstFromLoc())
    return 1;
  return location.getInstDepth() + 1;
}
