// Relations through the query interface: the relation index by kind letter,
// its walks, and the fields of one relation. Relations reach the index only
// for the kinds switched on with PI_registerRelationIndex*. Conventions as in
// anlsrslt/include/QueryInterface.h: walks by iteration ids, interned texts,
// and a null relation fails the assertion of the model.
#pragma once

#include <cstdint>

struct P_Relation;
struct P_Symbol;

// Switch on the filing of one relation kind into the index (and the reading
// of "R" records): kind X under the subject's name, every other kind under the
// object's name. Registering a kind again changes nothing.
void PI_registerRelationIndexB();
void PI_registerRelationIndexC();
void PI_registerRelationIndexX();
void PI_registerRelationIndexV();
void PI_registerRelationIndexR();
void PI_registerRelationIndexP();

// A walk over the relations filed under one kind letter: names in the order
// they were first interned, the relations of one name in filing order. A kind
// without an entry gets an empty one, and the walk is at its end at once.
std::int32_t PI_beginRelations(char kind);
std::int32_t PI_beginRelationsC();
std::int32_t PI_beginRelationsX();
std::int32_t PI_beginRelationsB();
std::int32_t PI_beginRelationsV();
std::int32_t PI_beginRelationsR();
std::int32_t PI_beginRelationsP();
// Every relation walk shares one store: the members of each letter do the
// same as the generic ones.
bool PI_relationsAtEnd(std::int32_t id);
bool PI_relationsCAtEnd(std::int32_t id);
bool PI_relationsXAtEnd(std::int32_t id);
bool PI_relationsBAtEnd(std::int32_t id);
bool PI_relationsVAtEnd(std::int32_t id);
bool PI_relationsRAtEnd(std::int32_t id);
bool PI_relationsPAtEnd(std::int32_t id);
P_Relation *PI_currentRelation(std::int32_t id); // null at the end
P_Relation *PI_currentRelationC(std::int32_t id);
P_Relation *PI_currentRelationX(std::int32_t id);
P_Relation *PI_currentRelationB(std::int32_t id);
P_Relation *PI_currentRelationV(std::int32_t id);
P_Relation *PI_currentRelationR(std::int32_t id);
P_Relation *PI_currentRelationP(std::int32_t id);
bool PI_nextRelation(std::int32_t id);
bool PI_nextRelationC(std::int32_t id);
bool PI_nextRelationX(std::int32_t id);
bool PI_nextRelationB(std::int32_t id);
bool PI_nextRelationV(std::int32_t id);
bool PI_nextRelationR(std::int32_t id);
bool PI_nextRelationP(std::int32_t id);

// Whether the index of kind X holds, under the name of the symbol's
// representative define, a relation whose subject is this symbol. False for
// a symbol without a define and while no X relation was filed; asks without
// adding an entry to the index.
bool PI_symbolIsSubjectOfXRelation(const P_Symbol *symbol);

// The flag letters of a relation.
bool PI_relationHasFlagV(const P_Relation *relation);
bool PI_relationHasFlag5(const P_Relation *relation);
bool PI_relationHasFlag1(const P_Relation *relation);
bool PI_relationHasFlag2(const P_Relation *relation);
bool PI_relationHasFlag7(const P_Relation *relation);
bool PI_relationHasFlag3(const P_Relation *relation);
bool PI_relationHasFlagR(const P_Relation *relation);
bool PI_relationHasFlagW(const P_Relation *relation);
// The line of the record, and the two entities as marked names and as the
// symbols they had in the translation unit the record was read in.
std::uint32_t PI_relationLine(const P_Relation *relation);
const char *PI_relationObject(const P_Relation *relation);
P_Symbol *PI_relationObjectSymbol(const P_Relation *relation);
const char *PI_relationSubject(const P_Relation *relation);
P_Symbol *PI_relationSubjectSymbol(const P_Relation *relation);
