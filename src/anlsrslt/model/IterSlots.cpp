#include "anlsrslt/model/IterSlots.h"

#include "anlsrslt/model/Symbol.h"
#include "anlsrslt/model/Template.h"
#include "foundation/Assertion.h"

namespace {

// The guarded read of a handle in a walked collection: it must hold an
// object. The unit named in the report is the slot type's.
template <class T> T *guarded(const char *unit, T *object, bool isSet) {
  if (0 == object)
    assertFailed(unit, __LINE__, "0 != pos->pointer () && \"DefinePtr is Null pointer in container.\"", true);
  if (!isSet)
    assertFailed(unit, __LINE__, "pos->isSet () && \"Unset DefinePtr in container.\"", true);
  return object;
}

} // namespace

P_Define *P_DefineIter::element() const {
  P_Define *def = *pos;
  return guarded("P_DefineIter", def, def != nullptr);
}

P_Symbol *P_SymbolIter::element() const { return guarded("P_SymbolIter", pos->pointer(), pos->isSet()); }

P_Template *P_TemplateIter::element() const {
  return guarded("P_TemplateIter", pos->pointer(), pos->isSet());
}
