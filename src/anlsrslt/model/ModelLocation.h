// A location as the model and the query interface see it: the location's
// file as its proxy, its line and column, and the location itself.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Location.h"
#include "foundation/Ref.h"

#include <cstdint>

// Not uniqued here: internLocation keeps one per file, line and column for the
// whole run, and the query interface makes a fresh one per request.
struct P_Location : public U_Ref {
  // Keeps the location (null stays null). A set one gives the line, the column
  // and the proxy of its file; the null one leaves the file unset and line and
  // column at -1 (all bits set).
  explicit P_Location(const U_Location &location);
  // Drops the location, then the file.
  ~P_Location() override = default;

  U_RefPtr<FilenameProxy> m_file;
  std::int32_t m_line = -1;
  std::int32_t m_column = -1;
  U_Location m_location;
};
