// The relation index: for each relation kind switched on, every relation of
// that kind read in the run, filed under one of its names, with repeated
// records of one relation merged into one.
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/Relation.h"

#include <map>

// Kind letters (ordered as signed characters) to the relations of the kind
// by their key name.
using P_RelationIndex = std::map<signed char, P_RelationsByName>;

// Which of a relation's two names.
enum class P_RelationName { object, subject };

// Switches on the index of the kind (and the reading of "R" records): kind
// 'X' files its relations under the subject name, every other kind under the
// object name. Registering a kind again changes nothing.
void registerRelationIndex(char kind);

// The relation listeners of the index: under the object name, matched by
// subject name and line, or the other way round.
void indexRelationByObject(char kind, P_CountedPtr<P_Relation> relation);
void indexRelationBySubject(char kind, P_CountedPtr<P_Relation> relation);

// Files the relation under its key name in the kind's index, after the
// relations of that name filed before; when one of them has the same
// matched name and line, the new relation's flags are joined to that one
// instead and the new one is not kept.
void indexRelation(char kind, P_RelationName key, P_RelationName matched,
                   const P_CountedPtr<P_Relation> &relation);

// The index of the run, created empty on first use and never emptied.
P_RelationIndex &relationIndex();
