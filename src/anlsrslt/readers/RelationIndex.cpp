#include "anlsrslt/readers/RelationIndex.h"

#include "anlsrslt/readers/RelationRecord.h"
#include "foundation/StringStore.h"

namespace {

struct RelationIndexState {
  P_RelationIndex index;
};

const char *nameOf(const P_Relation &relation, P_RelationName which) {
  return which == P_RelationName::object ? relation.m_object : relation.m_subject;
}

} // namespace

void registerRelationIndex(char kind) {
  registerRelationListener(kind, kind == 'X' ? indexRelationBySubject : indexRelationByObject);
}

void indexRelationByObject(char kind, P_CountedPtr<P_Relation> relation) {
  indexRelation(kind, P_RelationName::object, P_RelationName::subject, relation);
}

void indexRelationBySubject(char kind, P_CountedPtr<P_Relation> relation) {
  indexRelation(kind, P_RelationName::subject, P_RelationName::object, relation);
}

void indexRelation(char kind, P_RelationName key, P_RelationName matched,
                   const P_CountedPtr<P_Relation> &relation) {
  if (!relation.isSet())
    return;
  P_RelationsByName &relations = relationIndex()[static_cast<signed char>(kind)];
  const char *keyName = nameOf(*relation, key);
  const char *matchedName = nameOf(*relation, matched);
  const auto [first, last] = relations.equal_range(keyName);
  for (auto at = first; at != last; ++at) {
    P_Relation &filed = *at->second;
    if (nameOf(filed, matched) == matchedName && filed.m_line == relation->m_line) {
      filed.m_flags |= relation->m_flags;
      return;
    }
  }
  relations.emplace_hint(last, keyName, relation);
}

P_RelationIndex &relationIndex() { return U_singletonAfterInternPool<RelationIndexState>().index; }
