#include "checks/NameChecker.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "checks/NameRuleFile.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/TemplateTableReset.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Keeps the line of every diagnostic that reaches the output.
class CapturedOutput : public M_OutputBase {
public:
  explicit CapturedOutput(std::vector<std::string> &lines) : m_lines(lines) {}
  void close() override {}
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override {
    if (!suppressed)
      m_lines.push_back(diagnostic->dumpText());
  }
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override {
    send(diagnostic, suppressed);
  }
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &) override {}

private:
  std::vector<std::string> &m_lines;
};

class NameCheckerTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override { M_installOutput(5, std::make_unique<CapturedOutput>(m_reported)); }
  void TearDown() override {
    M_closeOutput();
    nameRules().clear();
  }

  // Makes the rules of the rule texts the checker's rules.
  static void useRules(const std::vector<std::string> &texts) {
    nameRules().clear();
    for (const std::string &text : texts) {
      NameRule rule;
      std::ostringstream errors;
      ASSERT_TRUE(parseNameRule(1, text, rule, errors)) << text << ": " << errors.str();
      nameRules().push_back(rule);
    }
  }

  // What checking the define of the record line reports.
  std::vector<std::string> check(const std::string &recordLine) {
    m_reported.clear();
    const DefinePtr def = readDefineLine(recordLine);
    EXPECT_TRUE(def.isSet()) << recordLine;
    if (def.isSet())
      checkDefineName(def.pointer());
    return m_reported;
  }

  std::vector<std::string> m_reported;
};

TEST_F(NameCheckerTest, EachKindOfRuleSelectsItsDefinesAndTestsTheirNames) {
  struct Case {
    std::string rule;
    std::string record;   // after "<DEFINE> "
    std::string reported; // "" for nothing
  };
  const std::string lowerStart = "'pattern':'^[a-z]'";
  const Case cases[] = {
      // Name spaces, long words and short forms.
      {"{'space':'macro','pattern':'^[A-Z0-9_]+$','message':5001}", "lower_macro /src/a.c 2 N DF OM - - - O",
       "/src/a.c:2: Msg=5001 #params=1 {lower_macro}"},
      {"{'space':'OM','pattern':'^[A-Z0-9_]+$'}", "UPPER_1 /src/a.c 2 N DF OM - - - O", ""},
      {"{'space':'macro','pattern':'^[A-Z0-9_]+$'}", "lower /src/a.c 2 N DF OV F X ni -", ""},
      {"{'space':'function'," + lowerStart + "}", "::Func(v) /src/a.c 5 N DF OF F X v -",
       "/src/a.c:5: Msg=4800 #params=1 {Func}"},
      {"{'space':'OF'," + lowerStart + "}", "::func(v,ni) /src/a.c 5 N DF OF F X v -", ""},
      {"{'space':'variable'," + lowerStart + "}", "Count /src/a.c 3 N DF OV F X ul -",
       "/src/a.c:3: Msg=4800 #params=1 {Count}"},
      {"{'space':'variable'," + lowerStart + "}", "Count /src/a.c 3 N DF OF F X ul -", ""},
      {"{'space':'typedef','pattern':'_t$'}", "size /src/a.c 4 N DF OT F N ul -",
       "/src/a.c:4: Msg=4800 #params=1 {size}"},
      {"{'space':'tag','pattern':'^[A-Z]'}", "node /src/a.c 6 N DF TG F N {s::node} -",
       "/src/a.c:6: Msg=4800 #params=1 {node}"},
      {"{'space':'enumerator','pattern':'^E_'}", "RED /src/a.c 7 N DF OE F N ni -",
       "/src/a.c:7: Msg=4800 #params=1 {RED}"},
      // A member outside its class, and one of class scope (a variable).
      {"{'space':'member','pattern':'^m_'}", "S::x /src/a.c 8 N DF MB F N ni -",
       "/src/a.c:8: Msg=4800 #params=1 {x}"},
      {"{'space':'member','pattern':'^m_'}", "S::x /src/a.c 8 N DF MB C N ni -", ""},
      {"{'space':'variable','pattern':'^m_'}", "S::x /src/a.c 8 N DF MB C N ni -",
       "/src/a.c:8: Msg=4800 #params=1 {x}"},
      // Scopes.
      {"{'scope':'block'," + lowerStart + "}", "Tmp /src/a.c 9 N DF OV B N ni -",
       "/src/a.c:9: Msg=4800 #params=1 {Tmp}"},
      {"{'scope':'file,namespace'," + lowerStart + "}", "Tmp /src/a.c 9 N DF OV B N ni -", ""},
      {"{'scope':'S'," + lowerStart + "}", "ns::Tmp /src/a.c 9 N DF OV S X ni -",
       "/src/a.c:9: Msg=4800 #params=1 {Tmp}"},
      // Linkages.
      {"{'linkage':'external','pattern':'^g_'}", "total /src/a.c 3 N DF OV F X ni -",
       "/src/a.c:3: Msg=4800 #params=1 {total}"},
      {"{'linkage':'internal','pattern':'^s_'}", "total /src/a.c 3 N DF OV F X ni -", ""},
      {"{'linkage':'I','pattern':'^s_'}", "total /src/a.c 3 N DF OV F I ni -",
       "/src/a.c:3: Msg=4800 #params=1 {total}"},
      {"{'linkage':'none','pattern':'^s_'}", "total /src/a.c 3 N DF OV B N ni -",
       "/src/a.c:3: Msg=4800 #params=1 {total}"},
      {"{'linkage':'none','pattern':'^s_'}", "total /src/a.c 3 N DF OV F X ni -", ""},
      // Where the define lies.
      {"{'inc':'include'}", "x /src/a.h 3 I DF OV F X ni -", "/src/a.h:3: Msg=4800 #params=1 {x}"},
      {"{'inc':'include'}", "x /src/a.c 3 N DF OV F X ni -", ""},
      {"{'inc':'N'}", "x /src/a.c 3 N DF OV F X ni -", "/src/a.c:3: Msg=4800 #params=1 {x}"},
      // Kinds of declaration.
      {"{'def':'declaration'}", "x /src/a.c 3 N DC OV F X ni -", "/src/a.c:3: Msg=4800 #params=1 {x}"},
      {"{'def':'declaration'}", "x /src/a.c 3 N DF OV F X ni -", ""},
      {"{'def':'DF'}", "x /src/a.c 3 N DF OV F X ni -", "/src/a.c:3: Msg=4800 #params=1 {x}"},
      {"{'def':'specialisation'}", "x /src/a.c 3 N DS OV F X ni -", "/src/a.c:3: Msg=4800 #params=1 {x}"},
      // Expressions over the type, the flag letters, the file and the namespace.
      {"{'type':'^ul$'}", "count /src/a.c 3 N DF OV F X ul -", "/src/a.c:3: Msg=4800 #params=1 {count}"},
      {"{'type':'^ul$'}", "count /src/a.c 3 N DF OV F X ni -", ""},
      {"{'flag':'^SF$'}", "::f(v) /src/a.c 3 N DF OF F X v FS", "/src/a.c:3: Msg=4800 #params=1 {f}"},
      {"{'flag':'^-$'}", "::f(v) /src/a.c 3 N DF OF F X v -", "/src/a.c:3: Msg=4800 #params=1 {f}"},
      {"{'flag':'^-$'}", "::f(v) /src/a.c 3 N DF OF F X v S", ""},
      {"{'filename':'\\\\.h$'}", "x /src/inc/a.h 3 I DF OV F X ni -",
       "/src/inc/a.h:3: Msg=4800 #params=1 {x}"},
      {"{'filename':'^a\\\\.c$'}", "x /src/a.c/b.c 3 N DF OV F X ni -", ""},
      {"{'namespace':'^::app$'}", "::app::count /src/a.c 3 N DF OV S X ni -",
       "/src/a.c:3: Msg=4800 #params=1 {count}"},
      {"{'namespace':'^::app$'}", "::app::f(v,ni) /src/a.c 3 N DF OF S X v -",
       "/src/a.c:3: Msg=4800 #params=1 {f}"},
      {"{'namespace':'^::app$'}", "::other::count /src/a.c 3 N DF OV S X ni -", ""},
      {"{'namespace':'unnamed'}", "::@UN1::count /src/a.c 3 N DF OV S I ni -",
       "/src/a.c:3: Msg=4800 #params=1 {count}"},
      // A name without a namespace meets no rule with one.
      {"{'namespace':'^'}", "count /src/a.c 3 N DF OV F X ni -", ""},
      // Inversion.
      {"{'space':'macro'}", "x /src/a.c 2 N DF OM - - - O", "/src/a.c:2: Msg=4800 #params=1 {x}"},
      {"{'space':'macro','invert':true}", "x /src/a.c 2 N DF OM - - - O", ""},
      {"{'space':'macro','invert':false}", "x /src/a.c 2 N DF OM - - - O",
       "/src/a.c:2: Msg=4800 #params=1 {x}"},
      {"{'space':'macro','pattern':'^_','invert':true}", "_x /src/a.c 2 N DF OM - - - O",
       "/src/a.c:2: Msg=4800 #params=1 {_x}"},
      {"{'space':'macro','pattern':'^_','invert':true}", "x /src/a.c 2 N DF OM - - - O", ""},
      // The name tested: up to its first "=".
      {"{'pattern':'='}", "a=b /src/a.c 3 N DF OV F X ni -", "/src/a.c:3: Msg=4800 #params=1 {a}"},
      // Defines that are never tested.
      {"{}", "~S /src/a.c 3 N DF OF C X v -", ""},
      {"{}", "@x /src/a.c 3 N DF OV F X ni -", ""},
      {"{}", "x /src/a.c 0 N DF OV F X ni -", ""},
      {"{}", "::main(ni) /src/a.c 3 N DF OF F X ni -", ""},
      {"{}", "x /src/a.c 3 N DI OF F X ni -", ""},
      {"{}", "::main(ni) /src/a.c 3 N DF OF F I ni -", "/src/a.c:3: Msg=4800 #params=1 {main}"},
      // A name without a leading "::" is cut before its slot list or template
      // arguments all the same, and main is main without it too.
      {"{}", "f(ni) /src/a.c 3 N DF OF F X ni -", "/src/a.c:3: Msg=4800 #params=1 {f}"},
      {"{'space':'function','pattern':'^[a-z]+$'}", "f(ni,pc) /src/a.c 3 N DF OF F X ni -", ""},
      {"{}", "Box<int> /src/a.c 3 N DF TG F N {c::Box<int>} -", "/src/a.c:3: Msg=4800 #params=1 {Box}"},
      {"{}", "main(ni) /src/a.c 3 N DF OF F X ni -", ""},
      {"{}", "main(ni) /src/a.c 3 N DF OF F I ni -", "/src/a.c:3: Msg=4800 #params=1 {main}"},
      {"{}", "main(ni) /src/a.c 3 N DF OV F X ni -", "/src/a.c:3: Msg=4800 #params=1 {main}"},
      // A name of EUC characters is tested; the rules see its bytes as the
      // record file has them, the half-width katakana's lead byte included.
      {"{" + lowerStart + "}", "\xA4\xA2x /src/a.c 3 N DF OV F X ni -",
       "/src/a.c:3: Msg=4800 #params=1 {\xA4\xA2x}"},
      {"{" + lowerStart + "}", "\x8E\xB1x /src/a.c 3 N DF OV F X ni -",
       "/src/a.c:3: Msg=4800 #params=1 {\x8E\xB1x}"},
      {"{'pattern':'^\x8E\xB1'}", "\x8E\xB1x /src/a.c 3 N DF OV F X ni -", ""},
  };
  for (const Case &c : cases) {
    useRules({c.rule});
    const std::vector<std::string> expected =
        c.reported.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.reported};
    EXPECT_EQ(expected, check("<DEFINE> " + c.record)) << c.rule << " on " << c.record;
  }
}

TEST_F(NameCheckerTest, ADefineFailingSeveralRulesGetsOneDiagnosticEachInRuleOrder) {
  useRules({"{'message':7,'pattern':'^[a-z]'}", "{'pattern':'^C'}", "{'message':5,'pattern':'_'}"});
  const std::vector<std::string> expected = {"/src/a.c:3: Msg=7 #params=1 {Count}",
                                             "/src/a.c:3: Msg=5 #params=1 {Count}"};
  EXPECT_EQ(expected, check("<DEFINE> Count /src/a.c 3 N DF OV F X ni -"));
}

// A name whose match a rule cannot decide is not reported under that rule,
// inverted or not; the first such name of each rule is named once on
// standard error with the rule's line. Other names are judged as ever.
TEST_F(NameCheckerTest, NamesARuleCannotDecideAreNotReportedAndWarnedOfOnce) {
  nameRules().clear();
  const std::string rules[] = {"{'message':5,'pattern':'^((a+)+c|a+b)$'}",
                               "{'message':6,'pattern':'^((a+)+c|a+b)$','invert':true}",
                               "{'message':7,'type':'^((a+)+c|a+b)$'}"};
  std::size_t line = 4;
  for (const std::string &text : rules) {
    NameRule rule;
    std::ostringstream errors;
    ASSERT_TRUE(parseNameRule(line++, text, rule, errors)) << errors.str();
    nameRules().push_back(rule);
  }
  const std::string a30(30, 'a');
  testing::internal::CaptureStderr();
  EXPECT_EQ(std::vector<std::string>{}, check("<DEFINE> " + a30 + "b /src/a.c 3 N DF OV F X ni -"));
  EXPECT_EQ(std::vector<std::string>{}, check("<DEFINE> " + a30 + "ab /src/a.c 4 N DF OV F X ni -"));
  EXPECT_EQ(std::vector<std::string>{"/src/a.c:5: Msg=6 #params=1 {" + a30 + "c}"},
            check("<DEFINE> " + a30 + "c /src/a.c 5 N DF OV F X ni -"));
  EXPECT_EQ(std::vector<std::string>{"/src/a.c:6: Msg=5 #params=1 {zz}"},
            check("<DEFINE> zz /src/a.c 6 N DF OV F X ni -"));
  // An expression that selects the defines can be undecided as well.
  EXPECT_EQ(std::vector<std::string>{"/src/a.c:7: Msg=5 #params=1 {x}"},
            check("<DEFINE> x /src/a.c 7 N DF OV F X " + a30 + "b -"));
  const std::string warning =
      "': a match backtracks too far. Names it cannot decide are not reported under it.\n";
  EXPECT_EQ("Warning - Name rule on line 4 cannot decide on the name '" + a30 + "b" + warning +
                "Warning - Name rule on line 5 cannot decide on the name '" + a30 + "b" + warning +
                "Warning - Name rule on line 6 cannot decide on the name 'x" + warning,
            testing::internal::GetCapturedStderr());
}

// Characters of the name encodings, written as bytes.
#define A_EUC "\xA4\xA2"              // hiragana a
#define I_EUC "\xA4\xA4"              // hiragana i
#define KANA_EUC "\x8E\xB1"           // half-width katakana a
#define SUPPLEMENT_EUC "\x8F\xB0\xA1" // a kanji of three bytes
#define A_UTF8 "\xE3\x81\x82"         // hiragana a
#define I_UTF8 "\xE3\x81\x84"         // hiragana i
#define SMILE_UTF8 "\xF0\x9F\x98\x80" // four bytes
#define TE_SJIS "\x83\x65"            // katakana te: second byte 'e'
#define SUTO_SJIS "\x83\x58\x83\x67"  // katakana su, to

std::string repeated(const std::string &text, std::size_t count) {
  std::string result;
  for (std::size_t i = 0; i < count; ++i)
    result += text;
  return result;
}

// A name is shown by its first characters, never by a part of one: a cut
// that counted bytes would fall inside the multibyte characters below.
TEST(ShortenedNameTest, ShowsTheFirstCharactersOfALongNameAndKeepsThemWhole) {
  const std::size_t n = kShownNameCharacters;
  const std::string a(n - 1, 'a');
  const struct {
    std::string name;
    std::string shown;
  } cases[] = {
      {"", ""},
      {a, a},
      {a + "b", a + "b"},
      {a + "bc", a + "b..."},
      {std::string(100000, 'a'), std::string(n, 'a') + "..."},
      // EUC: characters of two and three bytes are one each.
      {a + A_EUC I_EUC, a + A_EUC "..."},
      {repeated(A_EUC, n), repeated(A_EUC, n)},
      {repeated(A_EUC, n + 1), repeated(A_EUC, n) + "..."},
      {a.substr(1) + SUPPLEMENT_EUC KANA_EUC "b", a.substr(1) + SUPPLEMENT_EUC KANA_EUC "..."},
      // UTF-8 and Shift_JIS names are read in their own encoding.
      {a + A_UTF8 I_UTF8, a + A_UTF8 "..."},
      {a + SMILE_UTF8 SMILE_UTF8, a + SMILE_UTF8 "..."},
      {repeated(A_UTF8, n), repeated(A_UTF8, n)},
      {a + TE_SJIS SUTO_SJIS, a + TE_SJIS "..."},
      // A last character cut short counts as one character a byte; the
      // characters before it are read as ever.
      {a + "\xA4", a + "\xA4"},
      {a + A_EUC "\xA4", a + A_EUC "..."},
      {a + "\xE3\x81", a + "\xE3..."},
      {a + A_UTF8 "\xE3\x81", a + A_UTF8 "..."},
      // So does a byte that begins no character.
      {a + "\xFF\xFF", a + "\xFF..."},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.shown, shortenedName(c.name)) << testing::PrintToString(c.name);
}

TEST_F(NameCheckerTest, WithoutRulesNothingIsReported) {
  EXPECT_TRUE(check("<DEFINE> Count /src/a.c 3 N DF OV F X ni -").empty());
}

TEST_F(NameCheckerTest, TheFlagLettersStandInTheirFixedOrder) {
  const DefinePtr def = readDefineLine("<DEFINE> f(v) /src/a.c 3 N DF OF F X v TG75321VRPDOIFAS");
  ASSERT_TRUE(def.isSet());
  EXPECT_EQ("SAFIODPRV12357GT", defineFlagLetters(def.pointer()));
}

void onNewSymbol(P_Symbol *, P_Define *) {}

// The walk over a model read from record lines: every symbol of the run, then
// every template with its own symbol, its instances and its nested templates.
class NameCheckerWalkTest : public NameCheckerTest {
protected:
  void SetUp() override {
    NameCheckerTest::SetUp();
    reset();
    setSymbolTableContext(&SymbolTable::instance());
    registerNewSymbolListener(onNewSymbol);
  }
  void TearDown() override {
    reset();
    setSymbolTableContext(nullptr);
    NameCheckerTest::TearDown();
  }
  static void reset() {
    test_support::ListenerListsReset::resetAll();
    test_support::TemplateTableReset::reset();
  }

  static void read(const std::vector<std::string> &lines) {
    SymbolTable::instance().clearTranslationUnit();
    for (const std::string &line : lines)
      handleDefineRecord(line);
  }

  // What the whole walk reports about the files below /walk (the symbol table
  // of the process also holds the symbols of other tests, so the names here
  // are used by no other test).
  std::vector<std::string> checkAll() {
    m_reported.clear();
    checkAllNames();
    std::vector<std::string> mine;
    for (const std::string &line : m_reported)
      if (line.rfind("/walk/", 0) == 0)
        mine.push_back(line);
    return mine;
  }
};

TEST_F(NameCheckerWalkTest, EveryDefineOfEverySymbolAndTemplateIsTestedAsOftenAsItIsReached) {
  useRules({"{'pattern':'^ok'}"});
  read({"<DEFINE> ::walkF(ni) /walk/a.c 3 N DC OF F X ni -", "<DEFINE> okWalk /walk/a.c 4 N DC OV F X ni -",
        "<DEFINE> ::walkF(ni) /walk/a.c 9 N DF OF F X ni -",
        "<DEFINE> ::WalkA<T> /walk/t.h 5 I DC TG F X {c::WalkA<T>} U",
        "<DEFINE> ::WalkA<T*> /walk/t.h 5 I DS TG F X {c::WalkA<T*>} U",
        "<DEFINE> ::WalkA<T*> /walk/t.h 12 I DP TG F X {c::WalkA<T*>} -",
        "<DEFINE> ::WalkA<int> /walk/t.h 5 I DS TG F X {c::WalkA<int>} -",
        "<DEFINE> ::WalkA<int> /walk/t.c 20 N DF TG F X {c::WalkA<int>} -"});
  read({"<DEFINE> walkG /walk/b.c 2 N DC OV F X ni -"});
  // The symbols in the order they were made (the template's own symbol and
  // its instance among them), then the templates: each own symbol, each
  // instance, each nested template.
  const std::vector<std::string> expected = {
      "/walk/a.c:3: Msg=4800 #params=1 {walkF}",  "/walk/a.c:9: Msg=4800 #params=1 {walkF}",
      "/walk/t.h:5: Msg=4800 #params=1 {WalkA}",  "/walk/t.c:20: Msg=4800 #params=1 {WalkA}",
      "/walk/b.c:2: Msg=4800 #params=1 {walkG}",  "/walk/t.h:5: Msg=4800 #params=1 {WalkA}",
      "/walk/t.c:20: Msg=4800 #params=1 {WalkA}", "/walk/t.h:12: Msg=4800 #params=1 {WalkA}",
  };
  EXPECT_EQ(expected, checkAll());
}

} // namespace
