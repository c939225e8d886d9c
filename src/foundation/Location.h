// Source locations: a file, a line and a column with up to five parts of
// history (include location, macro history, HL file and line, instantiated-from
// location with the entity's display name, called-from chain). A location
// never changes once built; adding a part yields a new location.
#pragma once

#include "foundation/Assertion.h"
#include "foundation/FileIdentity.h"
#include "foundation/Ref.h"

#include <cstdint>

class U_Location;
// Held only through handles here; their own headers define them.
class U_MacroHistory;
class U_EntityDisplayName;

// The immutable location object. Each concrete class (an instantiation of
// LocDataPropertyMap) holds only the parts it has and answers the presence
// queries from its type.
class U_LocationData : public U_Ref {
public:
  U_LocationData(const QL_Filename &file, std::int32_t line, std::int32_t column)
      : m_file(file), m_line(line), m_column(column) {}
  // Copies file, line and column; the new object's count starts at 0.
  U_LocationData(const U_LocationData &other) = default;
  U_LocationData &operator=(const U_LocationData &) = delete;
  ~U_LocationData() override = default;

  virtual bool hasInclLoc() const = 0;
  virtual bool hasMacroHist() const = 0;
  virtual bool hasHLLoc() const = 0;
  virtual bool hasInstFromLoc() const = 0;
  virtual bool hasCalledFromLoc() const = 0;
  // New locations with every part of this one plus the one given.
  virtual U_Location withHLLoc(const QL_Filename &file, std::int32_t line) const = 0;
  virtual U_Location withInstFromLoc(const U_Location &instFromLoc,
                                     U_RefPtr<U_EntityDisplayName> entity) const = 0;
  virtual U_Location withCalledFromLoc(const U_Location &calledFromLoc) const = 0;

  const QL_Filename &file() const { return m_file; }
  std::int32_t line() const { return m_line; }
  std::int32_t column() const { return m_column; }

private:
  QL_Filename m_file;
  std::int32_t m_line;
  std::int32_t m_column;
};

// Handle to a location object; null means no location. Copies share the
// object. Handles are equal when they refer to the same object: contents are
// compared by U_sameLocation and ordered by U_compareLocations.
class U_Location {
public:
  U_Location() = default;
  U_Location(const QL_Filename &file, std::int32_t line, std::int32_t column);
  // A null include location or macro history counts as absent.
  U_Location(const U_Location &inclLoc, const QL_Filename &file, std::int32_t line, std::int32_t column);
  U_Location(const QL_Filename &file, std::int32_t line, std::int32_t column,
             const U_RefPtr<U_MacroHistory> &macroHist);
  U_Location(const U_Location &inclLoc, const QL_Filename &file, std::int32_t line, std::int32_t column,
             const U_RefPtr<U_MacroHistory> &macroHist);

  bool isSet() const { return m_data.isSet(); }
  const U_LocationData *data() const { return m_data.pointer(); }

  // Queries; each needs a set handle.
  const QL_Filename &getFile() const { return checked()->file(); }
  std::int32_t getLine() const { return checked()->line(); }
  std::int32_t getColumn() const { return checked()->column(); }
  bool hasInclLoc() const { return checked()->hasInclLoc(); }
  bool hasMacroHist() const { return checked()->hasMacroHist(); }
  bool hasHLLoc() const { return checked()->hasHLLoc(); }
  bool hasInstFromLoc() const { return checked()->hasInstFromLoc(); }
  bool hasCalledFromLoc() const { return checked()->hasCalledFromLoc(); }

  // The include location, or a null location at the top-level file.
  U_Location getInclLoc() const;
  // The other part getters need the part: ask its presence query first.
  U_RefPtr<U_MacroHistory> getMacroHist() const;
  QL_Filename getHLFile() const;
  std::int32_t getHLLine() const;
  U_Location getInstFromLoc() const;
  U_RefPtr<U_EntityDisplayName> getInstEntity() const;
  std::uint32_t getInstDepth() const;
  U_Location getCalledFromLoc() const;

  // Derivations: a new location; this one stays as it is.
  U_Location withHLLoc(const QL_Filename &file, std::int32_t line) const;
  U_Location withInstFromLoc(const U_Location &instFromLoc,
                             const U_RefPtr<U_EntityDisplayName> &entity) const;
  U_Location withCalledFromLoc(const U_Location &calledFromLoc) const;

  // Whether both are in the same file (two null locations are).
  static bool sameFile(const U_Location &a, const U_Location &b);
  // The location in the top-level file from which this one was reached
  // through include directives: the outermost include location.
  static U_Location mainFileLocation(U_Location location);

  friend bool operator==(const U_Location &a, const U_Location &b) { return a.m_data == b.m_data; }
  friend bool operator!=(const U_Location &a, const U_Location &b) { return a.m_data != b.m_data; }

private:
  template <class, class, class, class, class> friend class LocDataPropertyMap;

  // Takes the first reference to a new location object.
  explicit U_Location(U_LocationData *data) : m_data(data) {}

  const U_LocationData *checked() const {
    U_ASSERT(m_data.isSet() && "Dont dereference 0.");
    return m_data.pointer();
  }

  U_RefPtr<U_LocationData> m_data;
};

// Three-way order of locations: file (canonical names in the order of their
// interning), then line, then column (signed). The parts play no part. A null
// location comes before every set one.
int U_compareLocations(const U_Location &a, const U_Location &b);
// The same, but different files ordered by the bytes of their canonical names.
int U_compareLocationsByName(const U_Location &a, const U_Location &b);
bool U_isLocationLess(const U_Location &a, const U_Location &b);
// The same handle, or the same file, line and column.
bool U_sameLocation(const U_Location &a, const U_Location &b);
// Depth of an instantiation part made with this location as its
// instantiated-from location: 1, or one more than the location's own depth.
std::uint32_t instantiationDepth(const U_Location &location);

// How deeply a location may nest, in levels: a location without parts takes
// 1; a location part (include, instantiated-from, called-from) lies one level
// below its location. A macro history is a list, not a nesting: every element
// lies one level below the location that holds the history, its own location
// on that level (a history on its own has its elements on level 1), and a
// history holds at most this many elements. The error file carries locations
// up to this depth, in the writer and in the reader alike, and the include
// sites keep their chains within it.
inline constexpr std::uint32_t U_maxLocationDepth = 1000;
