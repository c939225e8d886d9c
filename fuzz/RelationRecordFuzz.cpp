// Record lines, one per input line, through the relation reader: nothing may
// crash, and each "R" line must read as stream extraction from the whole
// line reads it (an include record only when both file names were read
// whole). "<DEFINE>" lines are filed first so that names resolve; a
// line "<UNIT>" begins another translation unit. A reference reader with a
// string stream decides what each relation or include record holds; the
// listeners compare. At the end the relation index must hold each (key,
// matched name, line) once, and the collected include records must stand
// under their including files.
#include "FuzzSupport.h"

#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "anlsrslt/readers/RelationIndex.h"
#include "anlsrslt/readers/RelationRecord.h"
#include "foundation/StringStore.h"
#include "support/RelationStoresReset.h"
#include "support/TemplateTableReset.h"

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

// What the reference reader expects of one "R" line.
struct Expected {
  bool include = false;
  bool relation = false; // a relation that reaches its listeners
  char kind = '\0';
  const char *object = nullptr;
  const char *subject = nullptr;
  std::uint32_t line = 0;
  std::uint32_t flags = 0;
  U_RefPtr<FilenameProxy> from;
  U_RefPtr<FilenameProxy> to;
};

Expected expected;
int seen = 0;

std::uint32_t referenceFlags(std::istream &in, const std::string &letters, const std::uint32_t *bits) {
  std::uint32_t flags = 0;
  char c;
  while (in >> c) {
    const std::size_t at = letters.find(c);
    if (at != std::string::npos)
      flags |= bits[at];
  }
  return flags;
}

Expected reference(const std::string &line, SymbolTable &symbols) {
  static const std::uint32_t relationBits[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0};
  static const std::uint32_t includeBits[] = {0x100, 0};
  Expected e;
  std::istringstream in(line);
  std::string tag;
  in >> tag;
  const std::string kind = tag.size() > 3 ? tag.substr(3) : std::string();
  std::int32_t number = 0;
  if (kind == "I") {
    std::string from, to;
    fuzz_support::referenceFileToken(in, from);
    fuzz_support::referenceFileToken(in, to);
    // A file token that the end of the line ends may be cut short: skipped.
    if (!in)
      return e;
    e.include = true;
    P_readFilenameProxy(from, e.from);
    P_readFilenameProxy(to, e.to);
    if (!(in >> number))
      number = 0;
    e.line = static_cast<std::uint32_t>(number);
    e.flags = referenceFlags(in, "S-", includeBits);
    return e;
  }
  std::string object, subject;
  in >> object >> subject;
  if (!(in >> number))
    number = 0;
  e.kind = kind.empty() ? '\0' : kind[0];
  e.object = internString(P_markEncodedName(object).c_str());
  e.subject = internString(P_markEncodedName(subject).c_str());
  e.line = static_cast<std::uint32_t>(number);
  e.flags = referenceFlags(in, "RWV15237-", relationBits);
  e.relation = P_findSymbolIn(e.object, symbols) && P_findSymbolIn(e.subject, symbols);
  return e;
}

void onRelation(char kind, P_CountedPtr<P_Relation> relation) {
  ++seen;
  check(expected.relation && relation.isSet());
  check(kind == expected.kind);
  check(P_relationObject(relation.get()) == expected.object);
  check(P_relationSubject(relation.get()) == expected.subject);
  check(P_relationLine(relation.get()) == expected.line);
  check(relation->m_flags == expected.flags);
}

void onInclude(const P_CountedPtr<P_IncludeRecord> &record) {
  ++seen;
  check(expected.include && record.isSet());
  check(record->m_from == expected.from && record->m_to == expected.to);
  check(P_includeLine(record.get()) == static_cast<std::int32_t>(expected.line));
  check(record->m_flags == expected.flags);
  (void)P_includeFromFileName(record.get());
  (void)P_includeToFileName(record.get());
}

void onDefine(P_Symbol *, P_Define *) {}

void checkStores() {
  for (const auto &[kind, relations] : relationIndex()) {
    std::set<std::tuple<const char *, const char *, std::uint32_t>> keys;
    for (const auto &[name, relation] : relations) {
      const bool bySubject = kind == 'X';
      check(name == (bySubject ? relation->m_subject : relation->m_object));
      check(
          keys.emplace(name, bySubject ? relation->m_object : relation->m_subject, relation->m_line).second);
    }
  }
  for (const auto &[from, record] : includeRelationSet())
    check(from == record->m_from);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const bool registered = [] {
    fuzz_support::useInstallation();
    fuzz_support::quietStandardOutput();
    registerNewSymbolListener(onDefine);
    for (int c = -128; c < 128; ++c)
      registerRelationListener(static_cast<char>(c), onRelation);
    for (const char kind : {'B', 'C', 'X', 'V', 'R', 'P'})
      registerRelationIndex(kind);
    registerIncludeCollector();
    registerIncludeListener(onInclude);
    return true;
  }();
  (void)registered;

  const std::string input(reinterpret_cast<const char *>(data), size);
  test_support::TemplateTableReset::reset();
  test_support::RelationStoresReset::resetAll();
  SymbolTable symbols;
  setSymbolTableContext(&symbols);
  fuzz_support::forEachLine(input, [&symbols](const std::string &line) {
    if (line == "<UNIT>") {
      symbols.clearTranslationUnit();
    } else if (line.compare(0, 8, "<DEFINE>") == 0) {
      handleDefineRecord(line);
    } else {
      expected = reference(line, symbols);
      seen = 0;
      handleRelationRecord(line);
      check(seen == (expected.relation || expected.include ? 1 : 0));
    }
  });
  checkStores();
  setSymbolTableContext(nullptr);
  return 0;
}
