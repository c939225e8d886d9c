// One element of a macro-expansion history: where a macro was expanded, its
// name, and the element of the enclosing expansion.
#pragma once

#include "foundation/Location.h"
#include "foundation/Ref.h"
#include "resultfiles/Identifier.h"

class U_MacroHistory : public U_Ref {
public:
  U_MacroHistory(const U_Location &location, const U_Identifier &macroName,
                 const U_RefPtr<U_MacroHistory> &parent)
      : m_location(location), m_macroName(macroName), m_parent(parent) {}
  // Members go in reverse order: the parent first, then the location.
  ~U_MacroHistory() override;

  U_Location m_location;             // where the macro was expanded
  U_Identifier m_macroName;          // the macro expanded
  U_RefPtr<U_MacroHistory> m_parent; // next element of the chain, null at its end
};
