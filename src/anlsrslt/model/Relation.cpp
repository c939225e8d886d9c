#include "anlsrslt/model/Relation.h"

#include "foundation/Assertion.h"

P_Relation::P_Relation(const char *object, const char *subject, std::uint32_t line, P_Symbol *objectSym,
                       P_Symbol *subjectSym, std::uint32_t flags)
    : m_object(object), m_subject(subject), m_line(line), m_objectSym(objectSym), m_subjectSym(subjectSym),
      m_flags(flags) {
  if (0 == object)
    assertFailed("P_Relation", __LINE__, "0 != object && \"Null string for object.\"", true);
  if (0 == subject)
    assertFailed("P_Relation", __LINE__, "0 != subject && \"Null string for subject.\"", true);
  if (0 == objectSym)
    assertFailed("P_Relation", __LINE__, "0 != objectSym && \"No define record for object.\"", true);
  if (0 == subjectSym)
    assertFailed("P_Relation", __LINE__, "0 != subjectSym && \"No define record for subject.\"", true);
}
