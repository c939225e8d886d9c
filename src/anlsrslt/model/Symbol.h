// One program entity with its defines.
#pragma once

#include "anlsrslt/model/Define.h"
#include "foundation/Ref.h"

// Holds only the define it was made for: the declarations, redeclarations and
// definition of an entity come with the symbol table.
struct P_Symbol : public U_Ref {
  explicit P_Symbol(DefinePtr def);
  ~P_Symbol() override;

  // The representative define: for now the one the symbol was made for.
  P_Define *define() const { return m_declaration.pointer(); }

  DefinePtr m_declaration;
};
