// The relation records of a record file: lines of tag "R". A record joins two
// entities by a relation kind, a letter after the tag ("<R>C" calls, "<R>B"
// is-base-of, ...): "<R>" and the kind, the object's and the subject's
// encoded names, the line and flag letters. The kind "I" is the include form
// (RelationInclude.h).
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/Relation.h"

#include <cstddef>
#include <cstdint>
#include <string>

class P_RecordFields;
struct P_Symbol;

// Called with the kind letter and the relation; a listener that keeps the
// handle keeps the relation alive.
using P_RelationListener = void (*)(char kind, P_CountedPtr<P_Relation> relation);

// The record handler of tag "R". The kind text "I" goes to the include form.
// Any other kind is a relation: both names must have a symbol in the record
// file's own translation unit (DEFINE records read earlier in the same
// file), else the record is dropped ("Undefined symbol for relation record: "
// and the line on standard output under the debug word
// "show-relation-errors"). A line number that is missing or not a number is
// 0. The relation goes to the listeners of the first letter of the kind (the
// zero character for an empty kind) and is destroyed unless one keeps it.
void handleRelationRecord(const std::string &line);

// One flag letter and its bit.
struct P_FlagLetter {
  char letter;
  std::uint32_t bit;
};

// The flag word of the letters that follow in the line: every character that
// is not white space counts, also when blanks separate them. A letter the
// table does not hold sets nothing; under "show-relation-errors" the line
// "Undefined flag for relation record: " and the letter goes to standard
// output, and reading goes on.
std::uint32_t P_flagsFromLetters(P_RecordFields &fields, const P_FlagLetter *table, std::size_t size);
template <std::size_t N>
std::uint32_t P_flagsFromLetters(P_RecordFields &fields, const P_FlagLetter (&table)[N]) {
  return P_flagsFromLetters(fields, table, N);
}
// The flags of the relation form: R W V 1 5 2 3 7 (RelationFlags), "-" none.
std::uint32_t relationFlagsFromLetters(P_RecordFields &fields);

// Adds the listener (once) to those of the kind letter and switches on the
// reading of "R" records.
void registerRelationListener(char kind, P_RelationListener listener);

// The debug word "show-relation-errors" is given; asked once.
bool showRelationErrors();

// The fields of a relation. A null relation is a failed assertion that ends
// the process.
const char *P_relationObject(const P_Relation *rel);
const char *P_relationSubject(const P_Relation *rel);
P_Symbol *P_relationObjectSymbol(const P_Relation *rel);
P_Symbol *P_relationSubjectSymbol(const P_Relation *rel);
std::uint32_t P_relationLine(const P_Relation *rel);
bool P_relationHasFlagR(const P_Relation *rel);
bool P_relationHasFlagW(const P_Relation *rel);
bool P_relationHasFlagV(const P_Relation *rel);
bool P_relationHasFlag1(const P_Relation *rel);
bool P_relationHasFlag5(const P_Relation *rel);
bool P_relationHasFlag2(const P_Relation *rel);
bool P_relationHasFlag3(const P_Relation *rel);
bool P_relationHasFlag7(const P_Relation *rel);
