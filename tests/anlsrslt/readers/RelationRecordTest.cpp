#include "anlsrslt/readers/RelationRecord.h"

#include "RecordReaderTest.h"
#include "anlsrslt/model/IncludeLocationMap.h"
#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "anlsrslt/readers/RelationIndex.h"
#include "foundation/FileIdentity.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/RelationStoresReset.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What the listeners saw, one text each.
std::vector<std::string> events;

std::string describe(char kind, const P_Relation &r) {
  std::ostringstream text;
  text << (kind ? std::string(1, kind) : std::string("\\0")) << " " << r.m_object << " " << r.m_subject << " "
       << r.m_line << " 0x" << std::hex << r.m_flags;
  return text.str();
}
void onRelation(char kind, P_CountedPtr<P_Relation> relation) { events.push_back(describe(kind, *relation)); }
std::vector<P_CountedPtr<P_Relation>> kept;
void keepRelation(char, P_CountedPtr<P_Relation> relation) { kept.push_back(relation); }

std::string describe(const P_IncludeRecord &r) {
  std::ostringstream text;
  text << P_includeFromFileName(&r) << " " << P_includeToFileName(&r) << " " << P_includeLine(&r) << " 0x"
       << std::hex << r.m_flags;
  return text.str();
}
void onInclude(const P_CountedPtr<P_IncludeRecord> &record) { events.push_back(describe(*record)); }
void onNewSymbol(P_Symbol *, P_Define *) {}

// Every test starts with nothing registered or collected, with its own
// symbol table as the readers', whose unit knows f, g and h.
class RelationRecordTest : public testing::Test {
protected:
  void SetUp() override {
    reset();
    setSymbolTableContext(&m_symbols);
    registerNewSymbolListener(onNewSymbol);
    for (const char *name : {"f", "g", "h"})
      handleDefineRecord(std::string("<DEFINE> ") + name + " /rel/a.c 1 N DC OV F X ni -");
  }
  void TearDown() override {
    reset();
    setSymbolTableContext(nullptr);
  }
  static void reset() {
    test_support::ListenerListsReset::resetAll();
    test_support::RelationStoresReset::resetAll();
    events.clear();
    kept.clear();
  }

  // Reads the line with or without the debug word; gives standard output.
  static std::string read(const std::string &line, bool debug) {
    test_support::CurrentArguments arguments(
        debug ? std::vector<std::string>{"-debug", "show-relation-errors"} : std::vector<std::string>{});
    testing::internal::CaptureStdout();
    handleRelationRecord(line);
    return testing::internal::GetCapturedStdout();
  }

  SymbolTable m_symbols;
};

TEST_F(RelationRecordTest, RelationLines) {
  const struct Case {
    std::string line;
    std::string seen;   // what the listeners of the kind got; empty: nothing
    std::string report; // standard output under the debug word
  } cases[] = {
      {"<R>C f g 20 R W", "C f g 20 0x3", ""},
      {"<R>C f g 20 R", "C f g 20 0x1", ""},
      {"<R>C f g 20 W", "C f g 20 0x2", ""},
      {"<R>C f g 20 V", "C f g 20 0x4", ""},
      {"<R>C f g 20 1", "C f g 20 0x8", ""},
      {"<R>C f g 20 5", "C f g 20 0x10", ""},
      {"<R>C f g 20 2", "C f g 20 0x20", ""},
      {"<R>C f g 20 3", "C f g 20 0x40", ""},
      {"<R>C f g 20 7", "C f g 20 0x80", ""},
      {"<R>C f g 20 -", "C f g 20 0x0", ""},
      {"<R>C f g 20 RW1573V2", "C f g 20 0xff", ""},
      // Letters the relation form does not know are reported and ignored.
      {"<R>C f g 20 RS", "C f g 20 0x1", "Undefined flag for relation record: S\n"},
      {"<R>C f g 20 x R Q", "C f g 20 0x1",
       "Undefined flag for relation record: x\nUndefined flag for relation record: Q\n"},
      // Missing fields: no flags, no line, a line that is not a number.
      {"<R>C f g 20", "C f g 20 0x0", ""},
      {"<R>C f g", "C f g 0 0x0", ""},
      {"<R>C f g x9 R", "C f g 0 0x0", ""},
      {"<R>C f g 99999999999 R", "C f g 0 0x0", ""},
      // The key is the first letter of the kind text.
      {"<R>II f g 3 R", "I f g 3 0x1", ""},
      {"<R> f g 3 R", "\\0 f g 3 0x1", ""},
      {"<R>", "", "Undefined symbol for relation record: <R>\n"},
      // Names without a symbol in the unit.
      {"<R>B f undefinedName 5 -", "", "Undefined symbol for relation record: <R>B f undefinedName 5 -\n"},
      {"<R>B undefinedName f 5 -", "", "Undefined symbol for relation record: <R>B undefinedName f 5 -\n"},
      {"<R>B f", "", "Undefined symbol for relation record: <R>B f\n"},
  };
  for (const char kind : {'C', 'I', '\0'})
    registerRelationListener(kind, onRelation);
  for (const Case &c : cases) {
    for (const bool debug : {false, true}) {
      events.clear();
      const std::string output = read(c.line, debug);
      EXPECT_EQ(c.seen.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.seen}, events)
          << c.line;
      EXPECT_EQ(debug ? c.report : "", output) << c.line << (debug ? " (debug)" : "");
    }
  }
}

TEST_F(RelationRecordTest, ARelationLivesOnlyInTheListenersThatKeepIt) {
  registerRelationListener('C', keepRelation);
  registerRelationListener('C', keepRelation);
  registerRelationListener('U', onRelation);
  read("<R>C f g 20 R", false);
  read("<R>B f g 20 R", false);
  ASSERT_EQ(1u, kept.size());
  EXPECT_EQ(1u, kept[0].useCount());
  EXPECT_EQ(std::string("f"), P_relationObject(kept[0].get()));
  EXPECT_EQ(std::string("g"), P_relationSubject(kept[0].get()));
  EXPECT_EQ(m_symbols.findInUnit("f").get(), P_relationObjectSymbol(kept[0].get()));
  EXPECT_EQ(m_symbols.findInUnit("g").get(), P_relationSubjectSymbol(kept[0].get()));
  EXPECT_EQ(20u, P_relationLine(kept[0].get()));
  EXPECT_TRUE(P_relationHasFlagR(kept[0].get()));
  EXPECT_FALSE(P_relationHasFlagW(kept[0].get()));
  EXPECT_TRUE(events.empty());
}

TEST_F(RelationRecordTest, ANameDefinedAfterTheRelationDoesNotResolveIt) {
  registerRelationListener('C', onRelation);
  read("<R>C f later 20 R", false);
  handleDefineRecord("<DEFINE> later /rel/a.c 30 N DC OV F X ni -");
  EXPECT_TRUE(events.empty());
  read("<R>C f later 40 R", false);
  EXPECT_EQ((std::vector<std::string>{"C f later 40 0x1"}), events);
}

TEST_F(RelationRecordTest, IncludeLines) {
  const struct Case {
    std::string line;
    std::string seen;
    std::string report;
  } cases[] = {
      {"<R>I /rel/a.c /rel/inc/b.h 12 S", "/rel/a.c /rel/inc/b.h 12 0x100", ""},
      {"<R>I /rel/a.c /rel/b.h 7 -", "/rel/a.c /rel/b.h 7 0x0", ""},
      {"<R>I /rel/a.c /rel/b.h 7", "/rel/a.c /rel/b.h 7 0x0", ""},
      {"<R>I /rel/a.c /rel/b.h 7 S -", "/rel/a.c /rel/b.h 7 0x100", ""},
      {"<R>I \"/rel/q d.c\" /rel/b.h 7 S", "/rel/q d.c /rel/b.h 7 0x100", ""},
      // Letters of the relation form mean nothing here.
      {"<R>I /rel/a.c /rel/b.h 7 R", "/rel/a.c /rel/b.h 7 0x0", "Undefined flag for relation record: R\n"},
      {"<R>I /rel/a.c /rel/b.h 7 S1", "/rel/a.c /rel/b.h 7 0x100", "Undefined flag for relation record: 1\n"},
      // The line and the flags are not validated: the record is made all the same.
      {"<R>I /rel/a.c /rel/b.h ", "/rel/a.c /rel/b.h 0 0x0", ""},
      {"<R>I /rel/a.c /rel/b.h x S", "/rel/a.c /rel/b.h 0 0x0", ""},
      // A file token that the end of the line ends may be cut short: skipped
      // (outside a record file the report has no file and line 0).
      {"<R>I /rel/a.c /rel/b.h", "", ":0: malformed R record skipped\n"},
      {"<R>I /rel/a.c ", "", ":0: malformed R record skipped\n"},
      {"<R>I /rel/a.c", "", ":0: malformed R record skipped\n"},
      {"<R>I", "", ":0: malformed R record skipped\n"},
      {"<R>I \"/rel/q d.c\" \"/rel/b.h", "", ":0: malformed R record skipped\n"},
      {"<R>I \"/rel/q d.c\" \"/rel/b.h\"", "/rel/q d.c /rel/b.h 0 0x0", ""},
  };
  registerIncludeListener(onInclude);
  for (const Case &c : cases) {
    for (const bool debug : {false, true}) {
      events.clear();
      const std::string output = read(c.line, debug);
      EXPECT_EQ(c.seen.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.seen}, events)
          << c.line;
      EXPECT_EQ(debug ? c.report : "", output) << c.line << (debug ? " (debug)" : "");
    }
  }
}

TEST_F(RelationRecordTest, TheCollectorKeepsEveryIncludeRecordOnceUnderItsIncludingFile) {
  registerIncludeCollector();
  registerIncludeCollector();
  registerIncludeListener(onInclude);
  for (const char *line : {"<R>I /rel/a.c /rel/k.h 3 S", "<R>I /rel/z.c /rel/k.h 4 -",
                           "<R>I /rel/a.c /rel/c.h 5 -", "<R>I /rel/a.c /rel/k.h 3 S"})
    read(line, false);
  EXPECT_EQ(4u, events.size());
  std::vector<std::string> filed;
  for (const auto &[from, record] : includeRelationSet())
    filed.push_back(std::string(P_filenameTextOf(from)) + ": " + describe(*record));
  EXPECT_EQ(
      (std::vector<std::string>{"/rel/a.c: /rel/a.c /rel/k.h 3 0x100", "/rel/a.c: /rel/a.c /rel/c.h 5 0x0",
                                "/rel/a.c: /rel/a.c /rel/k.h 3 0x100", "/rel/z.c: /rel/z.c /rel/k.h 4 0x0"}),
      filed);
  // The first include of b.h is where it was included.
  const U_Location site = P_lookupIncludeLocation(P_includeLocationMap(), internString("/rel/k.h"));
  ASSERT_TRUE(site.isSet());
  EXPECT_EQ(3, site.getLine());
}

// A record file whose writer died inside an include record, cut at every
// byte of that line: the record is filed only when both of its file names
// were read whole; otherwise it is skipped, named under the debug word, and
// the reading goes on.
using RelationRecordFileTest = test_support::RecordReaderTest;

TEST_F(RelationRecordFileTest, ARecordFileCutInsideAnIncludeRecord) {
  const std::string first = "<R>I analysis/main.c /usr/include/setjmp.h 2 S";
  const std::string cut = "<R>I analysis/main.c /usr/include/stdio.h 3 S";
  const auto name = [](const char *token) {
    U_RefPtr<FilenameProxy> proxy;
    P_readFilenameProxy(token, proxy);
    return std::string(proxy->name());
  };
  const std::string main = name("analysis/main.c");
  const std::string setjmp = main + " " + name("/usr/include/setjmp.h") + " 2 0x100";
  const std::string stdio = main + " " + name("/usr/include/stdio.h");
  const std::string skipped = recordFilePath("main.c") + ":2: malformed R record skipped\n";
  // Each cut up to the end of upTo (and beyond the one before) gives this.
  const struct Outcome {
    std::string upTo;
    std::string filed;  // the cut line's record; empty: none
    std::string report; // under "show-relation-errors"
  } outcomes[] = {
      {"<R", "", ""}, // no ">": not a record
      {"<R>", "", "Undefined symbol for relation record: <R>\n"},
      {"<R>I analysis/main.c /usr/include/stdio.h", "", skipped},
      {"<R>I analysis/main.c /usr/include/stdio.h ", stdio + " 0 0x0", ""},
      {"<R>I analysis/main.c /usr/include/stdio.h 3 ", stdio + " 3 0x0", ""},
      {"<R>I analysis/main.c /usr/include/stdio.h 3 S\n", stdio + " 3 0x100", ""},
  };
  registerIncludeCollector();
  for (std::size_t length = 0; length <= cut.size() + 1; ++length) {
    const Outcome *outcome = outcomes;
    while (outcome->upTo.size() < length)
      ++outcome;
    ASSERT_EQ(outcome->upTo.substr(0, length), (cut + "\n").substr(0, length)) << length;
    const std::string text = (cut + "\n").substr(0, length);
    for (const bool debug : {false, true}) {
      test_support::RelationStoresReset::resetAll();
      P_includeLocationMap().clear();
      setArguments(debug ? std::vector<std::string>{"-debug", "show-relation-errors"}
                         : std::vector<std::string>{});
      testing::internal::CaptureStdout();
      readRecordFileText("main.c", first + "\n" + text);
      const std::string output = testing::internal::GetCapturedStdout();
      std::vector<std::string> filed;
      for (const auto &[from, record] : includeRelationSet())
        filed.push_back(describe(*record));
      std::vector<std::string> expected{setjmp};
      if (!outcome->filed.empty())
        expected.push_back(outcome->filed);
      EXPECT_EQ(expected, filed) << "cut: " << text;
      EXPECT_EQ(expected.size(), P_includeLocationMap().size()) << "cut: " << text;
      EXPECT_EQ(debug ? outcome->report : "", output) << "cut: " << text << (debug ? " (debug)" : "");
    }
  }
}

TEST_F(RelationRecordTest, TheIndexFilesEachRelationOnceUnderTheNameOfItsKind) {
  registerRelationIndex('C');
  registerRelationIndex('C');
  registerRelationIndex('X');
  for (const char *line :
       {"<R>C f g 10 R", "<R>C f g 10 W", "<R>C f g 11 R", "<R>C f h 10 -", "<R>C g f 10 3", "<R>X f g 4 -",
        "<R>X h g 4 R", "<R>X f g 4 V", "<R>B f g 1 R", "<R>U f g 1 R"})
    read(line, false);
  std::vector<std::string> filed;
  for (const auto &[kind, relations] : relationIndex())
    for (const auto &[name, relation] : relations)
      filed.push_back(std::string(name) + ": " + describe(static_cast<char>(kind), *relation));
  EXPECT_EQ((std::vector<std::string>{"f: C f g 10 0x3", "f: C f g 11 0x1", "f: C f h 10 0x0",
                                      "g: C g f 10 0x40", "g: X f g 4 0x4", "g: X h g 4 0x1"}),
            filed);
}

TEST_F(RelationRecordTest, AccessorsOfANullRecordEndTheProcess) {
  EXPECT_DEATH(P_relationLine(nullptr), "RelationRecord:.*0 != rel && \"Dont dereference 0.\"");
  EXPECT_DEATH(P_includeLine(nullptr), "RelationInclude:.*0 != rel && \"Dont dereference 0.\"");
}

} // namespace
