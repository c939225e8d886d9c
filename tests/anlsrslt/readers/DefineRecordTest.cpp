#include "anlsrslt/readers/DefineRecord.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/TemplateTable.h"
#include "foundation/FileIdentity.h"
#include "foundation/ScratchText.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/ModelDump.h"
#include "support/TemplateTableReset.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What the listeners saw, in order: "<list>:<display name>".
std::vector<std::string> events;

void record(const char *list, const P_Define *define) {
  events.push_back(std::string(list) + ":" + P_defineDisplayName(define));
}
void onNewSymbol(P_Symbol *symbol, P_Define *define) {
  ASSERT_NE(nullptr, symbol);
  record("new", define);
}
void onExistingSymbol(P_Symbol *, P_Define *define) { record("existing", define); }
void onDefinition(P_Symbol *, P_Define *define) { record("definition", define); }
void onTemplateDefine(P_Define *define) { record("template", define); }
void onRunEnd() { events.push_back("run-end"); }
void onRunEndToo() { events.push_back("run-end-too"); }

U_RefPtr<FilenameProxy> proxyOf(const std::string &path) {
  return P_filenameProxyFor(QL_Filename::fromPath(path));
}

// Every test starts with no listener registered, no template known and its
// own symbol table as the handler's.
class DefineRecordTest : public testing::Test {
protected:
  void SetUp() override {
    test_support::ListenerListsReset::resetAll();
    test_support::TemplateTableReset::reset();
    events.clear();
    setSymbolTableContext(&m_symbols);
  }
  void TearDown() override {
    test_support::ListenerListsReset::resetAll();
    test_support::TemplateTableReset::reset();
    setSymbolTableContext(nullptr);
  }

  void handle(const std::vector<std::string> &lines) {
    for (const std::string &line : lines)
      handleDefineRecord(line);
  }

  SymbolTable m_symbols;
};

TEST_F(DefineRecordTest, EachFieldOfALine) {
  // Fields longer than the room the reader keeps from line to line.
  const std::string longName(U_scratchTextKeep + 100, 'n');
  const std::string longFile = "/s/" + std::string(U_scratchTextKeep + 100, 'f') + ".c";
  const std::string longType(U_scratchTextKeep + 100, 't');
  const struct Case {
    std::string line;
    std::string name; // marked
    std::string file;
    std::int32_t number;
    std::uint8_t inMainFile, kind, nameSpace, scope, linkage;
    std::string type;
    std::uint32_t flags;
  } cases[] = {
      {"<DEFINE> size_t /s/a.c 3 N DF OT F N ulong -", "size_t", "/s/a.c", 3, 1, 2, 3, 1, 2, "ulong", 0},
      {"<DEFINE> " + longName + " " + longFile + " 4 N DF OV F X " + longType + " S", longName, longFile, 4,
       1, 2, 7, 1, 1, longType, 0x20},
      {"<DEFINE> x /s/a.c 1 N DF OV F X t -", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0},
      // Kind codes: the second letter, every unlisted one a definition.
      {"<DEFINE> x /s/a.c 1 N DC OV F X ni -", "x", "/s/a.c", 1, 1, 1, 7, 1, 1, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DR OV F X ni -", "x", "/s/a.c", 1, 1, 4, 7, 1, 1, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DS OV F X ni -", "x", "/s/a.c", 1, 1, 8, 7, 1, 1, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DI OV F X ni -", "x", "/s/a.c", 1, 1, 16, 7, 1, 1, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DX OV F X ni -", "x", "/s/a.c", 1, 1, 32, 7, 1, 1, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DP OV F X ni -", "x", "/s/a.c", 1, 1, 64, 7, 1, 1, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DZ OV F X ni -", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "ni", 0},
      // Name-space codes: the second character; 'B' after 'L' a label.
      {"<DEFINE> x /s/a.c 1 N DF TG F X {s::x} -", "x", "/s/a.c", 1, 1, 2, 1, 1, 1, "{s::x}", 0},
      {"<DEFINE> x /s/a.c 1 N DF xQ F X t -", "x", "/s/a.c", 1, 1, 2, 1, 1, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF LB N N - -", "x", "/s/a.c", 1, 1, 2, 0, 0, 2, "-", 0},
      {"<DEFINE> x /s/a.c 1 N DF MB C N ni -", "x", "/s/a.c", 1, 1, 2, 2, 4, 2, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DF AB C N ni -", "x", "/s/a.c", 1, 1, 2, 2, 4, 2, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DF OF F X v -", "x", "/s/a.c", 1, 1, 2, 4, 1, 1, "v", 0},
      {"<DEFINE> x /s/a.c 1 N DF OE F N ni -", "x", "/s/a.c", 1, 1, 2, 5, 1, 2, "ni", 0},
      {"<DEFINE> x /s/a.c 1 N DF OM - - - F", "x", "/s/a.c", 1, 1, 2, 6, 8, 3, "-", 0x1},
      {"<DEFINE> x /s/a.c 1 N DF x- F X t -", "x", "/s/a.c", 1, 1, 2, 8, 1, 1, "t", 0},
      // Scope letters; an unlisted one is file scope.
      {"<DEFINE> x /s/a.c 1 N DF OV N X t -", "x", "/s/a.c", 1, 1, 2, 7, 0, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV B X t -", "x", "/s/a.c", 1, 1, 2, 7, 2, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV P X t -", "x", "/s/a.c", 1, 1, 2, 7, 3, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV T X t -", "x", "/s/a.c", 1, 1, 2, 7, 5, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV R X t -", "x", "/s/a.c", 1, 1, 2, 7, 6, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV S X t -", "x", "/s/a.c", 1, 1, 2, 7, 7, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV Z X t -", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0},
      // Linkage letters; an unlisted one is internal.
      {"<DEFINE> x /s/a.c 1 N DF OV F I t -", "x", "/s/a.c", 1, 1, 2, 7, 1, 0, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV F - t -", "x", "/s/a.c", 1, 1, 2, 7, 1, 3, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV F Q t -", "x", "/s/a.c", 1, 1, 2, 7, 1, 0, "t", 0},
      // Flag letters: each sets its bit once; others and a missing word none.
      {"<DEFINE> x /s/a.c 1 N DF OV F X t SAU", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0x100A0},
      {"<DEFINE> x /s/a.c 1 N DF OV F X t SS", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0x20},
      {"<DEFINE> x /s/a.c 1 N DF OV F X t FOIVPSDAR12357GTU", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0x1FFFF},
      {"<DEFINE> x /s/a.c 1 N DF OV F X t xyz4", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV F X t", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 N DF OV F X t   ", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0},
      // Text after the flag word is not read.
      {"<DEFINE> x /s/a.c 1 N DF OV F X t S more words", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0x20},
      // Inclusion letters: only 'I' is an included file.
      {"<DEFINE> x /s/b.h 1 I DF OV F X t -", "x", "/s/b.h", 1, 0, 2, 7, 1, 1, "t", 0},
      {"<DEFINE> x /s/a.c 1 x DF OV F X t -", "x", "/s/a.c", 1, 1, 2, 7, 1, 1, "t", 0},
      // Names are kept marked; file names may be quoted; a line may be 0.
      {"<DEFINE> ::f(ni,pc) /s/a.c 9 N DC OF F X v -", "::f\x8Eni\x90pc\x8F", "/s/a.c", 9, 1, 1, 4, 1, 1, "v",
       0},
      {"<DEFINE> ::A<int>::b /s/a.c 9 N DC MB C X ni -", "::A\x8Cint\x8D::b", "/s/a.c", 9, 1, 1, 2, 4, 1,
       "ni", 0},
      {"<DEFINE> \xA4\xA2 \"/s/my dir/a.c\" 0 N DF OV F X t -", "\xA4\xA2", "/s/my dir/a.c", 0, 1, 2, 7, 1, 1,
       "t", 0},
      {"<DEFINE> x /s/a.c 2147483647 N DF OV F X t -", "x", "/s/a.c", 2147483647, 1, 2, 7, 1, 1, "t", 0},
      // Tabs separate fields too, but for the file name, which only blanks
      // delimit.
      {"<DEFINE>\tx /s/a.c 7\tN\tDF\tOV\tF\tX\tt\t-", "x", "/s/a.c", 7, 1, 2, 7, 1, 1, "t", 0},
  };
  for (const Case &c : cases) {
    const DefinePtr define = readDefineLine(c.line);
    ASSERT_TRUE(define.isSet()) << c.line;
    EXPECT_EQ(c.name, define->m_name) << c.line;
    EXPECT_EQ(internString(c.name.c_str()), define->m_name) << c.line << ": the name is interned";
    EXPECT_EQ(proxyOf(c.file), define->m_file) << c.line;
    EXPECT_EQ(c.number, define->m_line) << c.line;
    EXPECT_EQ(c.inMainFile, define->m_inMainFile) << c.line;
    EXPECT_EQ(c.kind, define->m_kind) << c.line;
    EXPECT_EQ(c.nameSpace, define->m_nameSpace) << c.line;
    EXPECT_EQ(c.scope, define->m_scope) << c.line;
    EXPECT_EQ(c.linkage, define->m_linkage) << c.line;
    EXPECT_EQ(internString(c.type.c_str()), define->m_type) << c.line;
    EXPECT_EQ(c.flags, define->m_flags) << c.line;
    EXPECT_EQ(P_templateClassUnknown, define->m_templateClass) << c.line;
  }
}

TEST_F(DefineRecordTest, MalformedLinesGiveNoDefine) {
  const char *const cases[] = {
      "",
      "<DEFINE>",
      "<DEFINE> x",
      "<DEFINE> x /s/a.c",
      "<DEFINE> x /s/a.c 3",
      "<DEFINE> x /s/a.c 3 N",
      "<DEFINE> x /s/a.c 3 N DF",
      "<DEFINE> x /s/a.c 3 N DF OV",
      "<DEFINE> x /s/a.c 3 N DF OV F",
      "<DEFINE> x /s/a.c 3 N DF OV F X", // no type
      // Bad numbers.
      "<DEFINE> x /s/a.c three N DF OV F X t -",
      "<DEFINE> x /s/a.c 2147483648 N DF OV F X t -",
      "<DEFINE> x /s/a.c -2147483649 N DF OV F X t -",
      "<DEFINE> x /s/a.c - N DF OV F X t -",
      "<DEFINE> x /s/a.c -1 N DF OV F X t -",
      "<DEFINE> x /s/a.c -2147483648 N DF OV F X t -",
      // Unknown codes.
      "<DEFINE> x /s/a.c 3 N XF OV F X t -",
      "<DEFINE> x /s/a.c 3 N D OV F X t -",
      "<DEFINE> x /s/a.c 3 N DFX OV F X t -",
      "<DEFINE> x /s/a.c 3 N df OV F X t -",
      "<DEFINE> x /s/a.c 3 N DF V F X t -",
      "<DEFINE> x /s/a.c 3 N DF OVX F X t -",
  };
  for (const char *line : cases)
    EXPECT_FALSE(readDefineLine(line).isSet()) << line;
  // A good line after a bad one is read as if nothing had come before.
  readDefineLine("<DEFINE> x /s/a.c 3 N DFX OV F X t SAU");
  const DefinePtr good = readDefineLine("<DEFINE> y /s/a.c 4 N DC OF F X v");
  ASSERT_TRUE(good.isSet());
  EXPECT_EQ(0u, good->m_flags);
  EXPECT_STREQ("y", good->m_name);
}

TEST_F(DefineRecordTest, NoListenerNoFiling) {
  handle({"<DEFINE> x /s/a.c 1 N DC OV F X t -"});
  EXPECT_TRUE(m_symbols.symbols().empty());
}

// With the end-of-run list alone every define is filed and no listener is
// called per define.
TEST_F(DefineRecordTest, EndOfRunListAloneFilesEveryDefine) {
  registerDefineRunEndListener(onRunEnd);
  handle({"<DEFINE> x /s/a.c 1 N DC OV F X t -", "<DEFINE> y /s/a.c 2 N DF OF F X v -",
          "<DEFINE> z /s/a.c 3 N DR OV F X t -"});
  EXPECT_EQ(3u, m_symbols.symbols().size()) << "a definition or redeclaration of nothing declares";
  EXPECT_TRUE(events.empty());
  notifyDefineRunEndListeners();
  EXPECT_EQ(std::vector<std::string>{"run-end"}, events);
}

// Two record files of a header with a template and an inline function: the
// template table keeps the template to itself and gathers its instance; the
// symbol table gathers the function of both files in one symbol, its place
// once, and the instance in another.
TEST_F(DefineRecordTest, TheRoadFilesEveryDefineIntoBothTables) {
  registerDefineRunEndListener(onRunEnd);
  registerNewSymbolListener(onNewSymbol);
  registerExistingSymbolListener(onExistingSymbol);
  registerDefinitionListener(onDefinition);
  const std::vector<std::string> header = {"<DEFINE> ::Box<T> /road/box.h 2 I DC TG F X {c::Box<T>} U",
                                           "<DEFINE> ::Box<int> /road/box.h 2 I DS TG F X {c::Box<int>} -",
                                           "<DEFINE> ::put(v) /road/box.h 9 I DC OF F X v I",
                                           "<DEFINE> ::put(v) /road/box.h 9 I DF OF F X v I"};
  for (const char *unit : {"/road/a.c", "/road/b.c"}) {
    m_symbols.clearTranslationUnit();
    handle(header);
    handle({std::string("<DEFINE> ::Box<int> ") + unit + " 4 N DF TG F X {c::Box<int>} -"});
  }
  EXPECT_EQ((std::vector<std::string>{"new:::Box<int>", "new:::put(v)", "definition:::put(v)",
                                      "definition:::Box<int>", "existing:::Box<int>", "existing:::put(v)",
                                      "definition:::put(v)", "definition:::Box<int>"}),
            events);
  EXPECT_EQ((std::vector<std::string>{"::Box<int>: {box.h:2 S, a.c:4 F, b.c:4 F} def b.c:4 F cur b.c:4 F",
                                      "::put(v): {box.h:9 CF I} def box.h:9 CF I cur box.h:9 CF I"}),
            test_support::describeSymbols(m_symbols.symbols()));
  const std::vector<U_RefPtr<P_Template>> &templates = TemplateTable::instance().templates();
  ASSERT_EQ(1u, templates.size());
  EXPECT_EQ("::Box<T> primary [::Box<T>: {box.h:2 C U} cur box.h:2 C U] at {box.h:2} settled "
            "[::Box<int>: {a.c:4 F, b.c:4 F} def b.c:4 F cur b.c:4 F]",
            test_support::describeTemplate(*templates[0]));
}

TEST_F(DefineRecordTest, EachResultCodeCallsItsListeners) {
  registerNewSymbolListener(onNewSymbol);
  registerExistingSymbolListener(onExistingSymbol);
  registerDefinitionListener(onDefinition);
  handle({"<DEFINE> x /s/a.c 1 N DC OV F X t -", "<DEFINE> x /s/a.c 2 N DR OV F X t -",
          "<DEFINE> x /s/a.c 3 N DF OV F X t -", "<DEFINE> ::f(v) /s/a.c 4 N DS OF F X v -"});
  EXPECT_EQ((std::vector<std::string>{"new:x", "definition:x", "new:::f(v)"}), events);

  // The code picks the list; codes 3 and 5 call none, also without a symbol.
  const DefinePtr define = readDefineLine("<DEFINE> y /s/a.c 1 N DC OV F X t -");
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(define));
  const struct {
    std::uint32_t code;
    bool withSymbol;
    std::vector<std::string> calls;
  } cases[] = {
      {0, true, {"new:y"}},
      {2, true, {"existing:y"}},
      {4, true, {"definition:y"}},
      {3, false, {}},
      {5, false, {}},
      {1, false, {}},
  };
  for (const auto &c : cases) {
    events.clear();
    notifyDefineListeners(c.withSymbol ? symbol : U_RefPtr<P_Symbol>(), define, c.code);
    EXPECT_EQ(c.calls, events) << "code " << c.code;
  }
}

// The template table keeps a template declaration to itself: the
// template-define listeners get it. An "X" define that settles an instance
// goes on to the symbol table, to the listeners of its code, then to the
// template-define listeners.
TEST_F(DefineRecordTest, ADxDefineReachesItsCodeListenersThenTheTemplateDefineListeners) {
  registerTemplateDefineListener(onTemplateDefine);
  registerNewSymbolListener(onNewSymbol);
  registerExistingSymbolListener(onExistingSymbol);
  handle({"<DEFINE> ::A<T> /s/a.h 1 I DC TG F X {c::A<T>} U",
          "<DEFINE> ::A<int> /s/a.h 1 I DS TG F X {c::A<int>} -",
          "<DEFINE> ::A<int> /s/a.c 5 N DX TG F X {c::A<int>} -",
          "<DEFINE> ::B /s/a.c 6 N DC TG F X {c::B} -"});
  EXPECT_EQ((std::vector<std::string>{"template:::A<T>", "new:::A<int>", "existing:::A<int>",
                                      "template:::A<int>", "new:::B"}),
            events);
}

// A template-define listener registered alone switches on the filing of
// defines and is called.
TEST_F(DefineRecordTest, ATemplateDefineListenerAloneIsCalled) {
  registerTemplateDefineListener(onTemplateDefine);
  handle(
      {"<DEFINE> ::A<int> /s/a.c 1 N DX TG F X {c::A<int>} -", "<DEFINE> ::B /s/a.c 2 N DC TG F X {c::B} -"});
  EXPECT_EQ(std::vector<std::string>{"template:::A<int>"}, events)
      << "an instance of no template is kept nowhere";
  EXPECT_EQ(1u, m_symbols.symbols().size());
}

TEST_F(DefineRecordTest, RegisteringTwice) {
  registerNewSymbolListener(onNewSymbol);
  registerNewSymbolListener(onNewSymbol);
  registerTemplateDefineListener(onTemplateDefine);
  registerTemplateDefineListener(onTemplateDefine);
  registerDefineRunEndListener(onRunEnd);
  registerDefineRunEndListener(onRunEndToo);
  registerDefineRunEndListener(onRunEnd);
  handle({"<DEFINE> x /s/a.c 1 N DX OV F X t -"});
  notifyDefineRunEndListeners();
  EXPECT_EQ((std::vector<std::string>{"new:x", "template:x", "template:x", "run-end", "run-end-too"}),
            events);
}

TEST_F(DefineRecordTest, MalformedLinesAreSkippedAndReportedUnderTheDebugWord) {
  registerNewSymbolListener(onNewSymbol);
  const std::vector<std::string> lines = {"<DEFINE> x /s/a.c 1 N DC OV F X t -",
                                          "<DEFINE> y /s/a.c one N DC OV F X t -",
                                          "<DEFINE> z /s/a.c 3 N DC"};
  for (const bool debug : {false, true}) {
    test_support::CurrentArguments arguments(debug ? std::vector<std::string>{"-debug", "show-symbol-errors"}
                                                   : std::vector<std::string>{});
    SymbolTable symbols; // a run of its own
    setSymbolTableContext(&symbols);
    events.clear();
    testing::internal::CaptureStdout();
    handle(lines);
    const std::string output = testing::internal::GetCapturedStdout();
    setSymbolTableContext(&m_symbols);
    EXPECT_EQ(std::vector<std::string>{"new:x"}, events);
    // Outside a record file the position is empty.
    EXPECT_EQ(debug ? ":0: malformed DEFINE record skipped\n:0: malformed DEFINE record skipped\n" : "",
              output)
        << "debug " << debug;
  }
}

TEST_F(DefineRecordTest, AssertionsOfTheHandler) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setSymbolTableContext(nullptr);
  registerNewSymbolListener(onNewSymbol);
  EXPECT_DEATH(handleDefineRecord("<DEFINE> x /s/a.c 1 N DC OV F X t -"), "Symbol table context not set.");
  const DefinePtr define = readDefineLine("<DEFINE> y /s/a.c 1 N DC OV F X t -");
  EXPECT_DEATH(notifyDefineListeners(U_RefPtr<P_Symbol>(), define, 0), "New symbol could not be added.");
}

TEST(LinkageFromLetterTest, EveryLetter) {
  const struct {
    char letter;
    std::uint8_t linkage;
  } cases[] = {{'I', 0}, {'X', 1}, {'N', 2}, {'-', 3}, {'x', 0}, {'\0', 0}};
  for (const auto &c : cases)
    EXPECT_EQ(c.linkage, linkageFromLetter(c.letter)) << c.letter;
}

} // namespace
