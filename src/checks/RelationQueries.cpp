#include "anlsrslt/include/RelationQueries.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/IterSlots.h"
#include "anlsrslt/model/Symbol.h"
#include "anlsrslt/model/impl/IterCont.h"
#include "anlsrslt/readers/RelationIndex.h"
#include "anlsrslt/readers/RelationRecord.h"
#include "checks/QueryWalk.h"

void PI_registerRelationIndexB() { registerRelationIndex('B'); }
void PI_registerRelationIndexC() { registerRelationIndex('C'); }
void PI_registerRelationIndexX() { registerRelationIndex('X'); }
void PI_registerRelationIndexV() { registerRelationIndex('V'); }
void PI_registerRelationIndexR() { registerRelationIndex('R'); }
void PI_registerRelationIndexP() { registerRelationIndex('P'); }

std::int32_t PI_beginRelations(char kind) {
  const P_RelationsByName &relations = relationIndex()[static_cast<signed char>(kind)];
  return beginWalk<P_RelationIter>(relations);
}

PI_WALK_MEMBERS(P_RelationIter, PI_relationsAtEnd, PI_currentRelation, PI_nextRelation)

// The members of one kind letter: its begin, and the shared walk members.
#define PI_RELATION_WALK(Letter)                                                                             \
  std::int32_t PI_beginRelations##Letter() { return PI_beginRelations(#Letter[0]); }                         \
  bool PI_relations##Letter##AtEnd(std::int32_t id) { return PI_relationsAtEnd(id); }                        \
  P_Relation *PI_currentRelation##Letter(std::int32_t id) { return PI_currentRelation(id); }                 \
  bool PI_nextRelation##Letter(std::int32_t id) { return PI_nextRelation(id); }

PI_RELATION_WALK(C)
PI_RELATION_WALK(X)
PI_RELATION_WALK(B)
PI_RELATION_WALK(V)
PI_RELATION_WALK(R)
PI_RELATION_WALK(P)

#undef PI_RELATION_WALK

bool PI_symbolIsSubjectOfXRelation(const P_Symbol *symbol) {
  const P_Define *define = P_symbolDefine(symbol);
  if (!define)
    return false;
  const P_RelationIndex &index = relationIndex();
  const auto kind = index.find('X');
  if (kind == index.end())
    return false;
  const auto [first, last] = kind->second.equal_range(P_defineName(define));
  for (auto entry = first; entry != last; ++entry)
    if (entry->second->m_subjectSym == symbol)
      return true;
  return false;
}

// Each member hands the relation to the model's accessor of the same name.
#define PI_RELATION_QUERY(Result, Name)                                                                      \
  Result PI_##Name(const P_Relation *relation) { return P_##Name(relation); }

PI_RELATION_QUERY(bool, relationHasFlagV)
PI_RELATION_QUERY(bool, relationHasFlag5)
PI_RELATION_QUERY(bool, relationHasFlag1)
PI_RELATION_QUERY(bool, relationHasFlag2)
PI_RELATION_QUERY(bool, relationHasFlag7)
PI_RELATION_QUERY(bool, relationHasFlag3)
PI_RELATION_QUERY(bool, relationHasFlagR)
PI_RELATION_QUERY(bool, relationHasFlagW)
PI_RELATION_QUERY(std::uint32_t, relationLine)
PI_RELATION_QUERY(const char *, relationObject)
PI_RELATION_QUERY(P_Symbol *, relationObjectSymbol)
PI_RELATION_QUERY(const char *, relationSubject)
PI_RELATION_QUERY(P_Symbol *, relationSubjectSymbol)

#undef PI_RELATION_QUERY
