#include "anlsrslt/readers/RelationRecord.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr P_FlagLetter kRelationFlags[] = {
    {'R', P_relationFlagR}, {'W', P_relationFlagW}, {'V', P_relationFlagV},
    {'1', P_relationFlag1}, {'5', P_relationFlag5}, {'2', P_relationFlag2},
    {'3', P_relationFlag3}, {'7', P_relationFlag7}, {'-', 0},
};

// The relation listeners by kind letter, ordered as signed characters.
struct RelationListeners {
  std::map<signed char, P_ListenerList<P_RelationListener>> byKind;
};

std::map<signed char, P_ListenerList<P_RelationListener>> &relationListenersByKind() {
  return U_singletonAfterInternPool<RelationListeners>().byKind;
}

void writeLine(const char *text, std::string_view rest) {
  std::fputs(text, stdout);
  std::fwrite(rest.data(), 1, rest.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

const P_Relation &relationOf(const P_Relation *rel) {
  if (0 == rel)
    assertFailed("RelationRecord", __LINE__, "0 != rel && \"Dont dereference 0.\"", true);
  return *rel;
}

} // namespace

bool showRelationErrors() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("show-relation-errors"); });
  return answer.get();
}

std::uint32_t P_flagsFromLetters(P_RecordFields &fields, const P_FlagLetter *table, std::size_t size) {
  std::uint32_t flags = 0;
  char letter = 0;
  while (fields.letter(letter)) {
    const P_FlagLetter *found = std::find_if(
        table, table + size, [letter](const P_FlagLetter &entry) { return entry.letter == letter; });
    if (found != table + size)
      flags |= found->bit;
    else if (showRelationErrors())
      writeLine("Undefined flag for relation record: ", std::string_view(&letter, 1));
  }
  return flags;
}

std::uint32_t relationFlagsFromLetters(P_RecordFields &fields) {
  return P_flagsFromLetters(fields, kRelationFlags);
}

void handleRelationRecord(const std::string &line) {
  P_RecordFields fields(line);
  const std::string_view tag = fields.word();
  const std::string_view kind = tag.size() > 3 ? tag.substr(3) : std::string_view();
  if (kind == "I") {
    handleIncludeRelation(line);
    return;
  }
  P_NameToken objectToken;
  P_NameToken subjectToken;
  std::int32_t number = 0;
  fields.name(objectToken).name(subjectToken).number(number);
  const char *object = internString(objectToken.str().c_str());
  const char *subject = internString(subjectToken.str().c_str());
  P_Symbol *objectSym = P_findRecordSymbol(object);
  P_Symbol *subjectSym = P_findRecordSymbol(subject);
  const std::uint32_t flags = relationFlagsFromLetters(fields);
  if (!objectSym || !subjectSym) {
    if (showRelationErrors())
      writeLine("Undefined symbol for relation record: ", line);
    return;
  }
  const P_CountedPtr<P_Relation> relation = P_makeCounted<P_Relation>(
      object, subject, static_cast<std::uint32_t>(number), objectSym, subjectSym, flags);
  const char key = kind.empty() ? '\0' : kind[0];
  relationListenersByKind()[static_cast<signed char>(key)].notify(key, relation);
}

void registerRelationListener(char kind, P_RelationListener listener) {
  registerRecordHandler("R", handleRelationRecord);
  relationListenersByKind()[static_cast<signed char>(kind)].addOnce(listener);
}

const char *P_relationObject(const P_Relation *rel) { return relationOf(rel).m_object; }
const char *P_relationSubject(const P_Relation *rel) { return relationOf(rel).m_subject; }
P_Symbol *P_relationObjectSymbol(const P_Relation *rel) { return relationOf(rel).m_objectSym; }
P_Symbol *P_relationSubjectSymbol(const P_Relation *rel) { return relationOf(rel).m_subjectSym; }
std::uint32_t P_relationLine(const P_Relation *rel) { return relationOf(rel).m_line; }
bool P_relationHasFlagR(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlagR; }
bool P_relationHasFlagW(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlagW; }
bool P_relationHasFlagV(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlagV; }
bool P_relationHasFlag1(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlag1; }
bool P_relationHasFlag5(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlag5; }
bool P_relationHasFlag2(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlag2; }
bool P_relationHasFlag3(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlag3; }
bool P_relationHasFlag7(const P_Relation *rel) { return relationOf(rel).m_flags & P_relationFlag7; }
