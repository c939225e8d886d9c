// Test helpers: source locations with history, built in memory, and an entity
// display name whose five renderings differ.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/Identifier.h"
#include "resultfiles/MacroHistory.h"

#include <string>
#include <utility>
#include <vector>

namespace test_support {

// A location without history in the file of that absolute path.
inline U_Location at(const std::string &path, std::int32_t line, std::int32_t column = 0) {
  return U_Location(QL_Filename::fromPath(path), line, column);
}

// A location in the file of that path, reached by an include directive at
// the include location.
inline U_Location includedAt(const U_Location &includeLocation, const std::string &path, std::int32_t line,
                             std::int32_t column = 0) {
  return U_Location(includeLocation, QL_Filename::fromPath(path), line, column);
}

// The location with a macro history: the first element is the location's own,
// each further one the parent of the one before.
inline U_Location withMacros(const U_Location &location,
                             const std::vector<std::pair<U_Location, std::string>> &expansions) {
  U_RefPtr<U_MacroHistory> chain;
  for (auto element = expansions.rbegin(); element != expansions.rend(); ++element)
    chain = new U_MacroHistory(element->first, U_Identifier(element->second.c_str()), chain);
  const U_Location include = location.hasInclLoc() ? location.getInclLoc() : U_Location();
  return U_Location(include, location.getFile(), location.getLine(), location.getColumn(), chain);
}

// A display name whose renderings are the name followed by "#1" to "#5".
class NumberedDisplayName : public U_EntityDisplayName {
public:
  explicit NumberedDisplayName(std::string name) : m_name(std::move(name)) {}
  std::string text() const override { return m_name + "#1"; }
  std::string text2() const override { return m_name + "#2"; }
  std::string text3() const override { return m_name + "#3"; }
  std::string text4() const override { return m_name + "#4"; }
  std::string text5() const override { return m_name + "#5"; }

private:
  std::string m_name;
};

inline U_RefPtr<U_EntityDisplayName> numberedName(const std::string &name) {
  return U_RefPtr<U_EntityDisplayName>(new NumberedDisplayName(name));
}

} // namespace test_support
