// Rendering diagnostics through format strings: every directive with a
// diagnostic and a message catalogue, conditionals, repeats, wrapping, the
// location remembered between calls, the error texts and the "show-format"
// report.
#include "messages/FormatString.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"
#include "messages/MessageCatalogue.h"
#include "support/CurrentArguments.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

// Levels: "severe" 3, "note" 5; message 42 has parameters in its text and a
// second text, 43 none, 12345 a five-digit number.
const char *const messageFile = "#define severe 3 Severe problems\n"
                                "#define note 5 Notes\n"
                                "42 severe Text with %s and %2s@@Second %1s\n"
                                "43 note No second text\n"
                                "7 note Seven\\tcount\n"
                                "12345 note Five digits\n";

const QL_Filename sourceFile("/canon/src/a.c", "src/a.c");
const QL_Filename otherFile("/canon/src/b.c", "src/b.c");

// Message 42 at line 12, column 3 of src/a.c (canonically /canon/src/a.c)
// with the parameters P1 and P2, unless the case says otherwise.
struct Diag {
  std::uint32_t number = 42;
  std::int32_t line = 12;
  std::int32_t column = 3;
  bool error = false;
  bool located = true;
};

U_RefPtr<M_Diagnostic> make(const Diag &d) {
  U_RefPtr<M_Diagnostic> diagnostic(d.located
                                        ? new M_Diagnostic(d.number, U_Location(sourceFile, d.line, d.column))
                                        : new M_Diagnostic(d.number));
  diagnostic->addParameter("P1");
  diagnostic->addParameter("P2");
  diagnostic->setError(d.error);
  return diagnostic;
}

struct Case {
  std::string format;
  Diag diagnostic;
  std::uint32_t u;
  std::string expected;
};

class FormatStringTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    m_arguments.installation().writeFile("lyr.msg", messageFile);
    M_forgetMessageCatalogue();
    FM_forgetPreviousLocation();
  }
  void TearDown() override {
    M_forgetMessageCatalogue();
    FM_forgetPreviousLocation();
  }

  // Each case starts without a remembered location.
  static void expectAll(const std::vector<Case> &cases) {
    for (const Case &c : cases) {
      FM_forgetPreviousLocation();
      EXPECT_EQ(c.expected, M_formatDiagnostic(c.format, make(c.diagnostic), c.u))
          << "format: '" << c.format << "', u " << c.u;
    }
  }
};

const std::string errorIn = "Error in format string '";

TEST_F(FormatStringTest, ExamplesOfTheLanguage) {
  Diag errorFlag;
  errorFlag.error = true;
  Diag seven;
  seven.number = 7;
  Diag fiveDigits;
  fiveDigits.number = 12345;
  Diag columnZero;
  columnZero.column = 0;
  const std::string defaultFormat = M_defaultFormatString(true);
  expectAll({
      // The default format string.
      {defaultFormat, errorFlag, 0, "/canon/src/a.c:12:3: Err (3;0042) Text with P1 and P2"},
      {defaultFormat, errorFlag, 2, "/canon/src/a.c:12:3: --> (3;0042)     Text with P1 and P2"},
      {defaultFormat, {}, 0, "/canon/src/a.c:12:3: Msg (3;0042) Text with P1 and P2"},
      {M_defaultFormatString(false), {}, 1, "src/a.c:12:3: --> (3;0042)   Text with P1 and P2"},
      // Literal '%'.
      {"%xyz%n", {}, 0, "%xyz42"},
      {"100%%", {}, 0, "100%"},
      {"a%", {}, 0, "a%"},
      // Conditionals.
      {"%?u%(A%:B%)", {}, 1, "A"},
      {"%?u%(A%:B%)", {}, 0, "B"},
      {"%?u==0%(A%)", {}, 1, ""},
      {"%?u==0%(A%)", {}, 0, "A"},
      {"%?u==x%(A%)", {}, 0, ""},
      {"%?u>x%(A%)", {}, 0, "A"},
      {"%?u<99999999999%(A%)", {}, 0, "A"},
      {"%?h%(E%:M%)", errorFlag, 0, "E"},
      {"%?h%(E%:M%)", {}, 0, "M"},
      {"%?u>1%(big%:%?u==1%(one%:zero%)%)", {}, 2, "big"},
      {"%?u>1%(big%:%?u==1%(one%:zero%)%)", {}, 1, "one"},
      {"%?u>1%(big%:%?u==1%(one%:zero%)%)", {}, 0, "zero"},
      // A stray end or else ends the output.
      {"ab%)cd", {}, 0, "ab"},
      {"ab%:cd%n", {}, 0, "ab"},
      // The second "%:" closes the conditional; the rest is plain text.
      {"%?u%(A%:B%:C%)D", {}, 1, "AC"},
      // Values.
      {"%N", seven, 0, "0007"},
      {"%N", fiveDigits, 0, "12345"},
      {"%n", seven, 0, "7"},
      {"%C", columnZero, 0, "-1"},
      {"[%^]", columnZero, 0, "[]"},
      {"[%^]", {}, 0, "[  ^\n]"},
      {"%f|%F|%B|%l|%c|%C|%u", {}, 9, "src/a.c|/canon/src/a.c|a.c|12|3|2|9"},
      {"%g %t", seven, 0, "5 Seven\tcount"},
      {"%v|%?v%(has%:none%)", {}, 0, "Second P1|has"},
      {"[%v]|%?v%(has%:none%)", seven, 0, "[]|none"},
      // Repeats.
      {"%R(3,ab)", {}, 0, "ababab"},
      {"%R(%u,-)", {}, 2, "--"},
      {"%R(0,x)", {}, 0, ""},
      {"%R(%C,x)", {}, 0, "xx"},
      {"%R(%c,x)", columnZero, 0, ""},
      // Escapes in the format.
      {"a\\nb\\\\c\\x", {}, 0, "a\nb\\c\\x"},
      // Wrap settings, also when they come after the text.
      {"%w10abcdefghijklmnopqrstuvwxy", {}, 0, "abcdefghij\nklmnopqrst\nuvwxy"},
      {"abcdefghijklmnopqrstuvwxy%w10", {}, 0, "abcdefghij\nklmnopqrst\nuvwxy"},
      {"%W10%i(>>)aaaa bbbb cccc dddd eeee", {}, 0, "aaaa bbbb\n>>cccc\n>>dddd\n>>eeee"},
      {"%s10%t", {}, 0, "Text with "},
      {"%w10\\tabcd", {}, 0, "\tab\ncd"},
      {"%w5%?w%(hard%)%?W%(blank%)%?s%(cut%)", {}, 0, "hard"},
      // The part that is not taken keeps its settings to itself.
      {"%?u%(%w3%i(>>)%:X%)abcdefgh", {}, 0, "Xabcdefgh"},
      {"%?u%(X%:%s3%)abcdefgh", {}, 1, "Xabcdefgh"},
  });
}

TEST_F(FormatStringTest, ErrorTexts) {
  Diag noLocation;
  noLocation.located = false;
  expectAll({
      {"%h", {}, 0, errorIn + "%h'"},
      {"ab%h", {}, 0, errorIn + "%h'"},
      {"%?u%(A%", {}, 1, errorIn + "Unexpected end'"},
      {"%?u%(A%:B", {}, 1, errorIn + "Unexpected end'"},
      {"%?u==1x", {}, 0, errorIn + "u == 1x'"},
      {"%?u==1x%n", {}, 0, errorIn + "u == 1x %n'"},
      {"%?t%(A%)", {}, 0, errorIn + "%t  %( A %)'"},
      {"%w(x)", {}, 0, errorIn + "'"},
      {"%w(12", {}, 0, errorIn + "(12'"},
      {"%?", {}, 0, errorIn + "Unexpected end'"},
      {"%L", {}, 0, errorIn + "L'"},
      {"% ", {}, 0, errorIn + " '"},
      {"%(", {}, 0, errorIn + "%('"},
      {"%R(%^,x)", {}, 0, errorIn + "%^ x'"},
      // Errors of the part that is not taken are raised all the same.
      {"%?u%(A%:%h%)", {}, 1, errorIn + "%h %)'"},
      {"%?u%(%h%:B%)", {}, 0, errorIn + "%h %: B %)'"},
      // A diagnostic without location: its location's values fail, the rest
      // works.
      {"%n %t", noLocation, 0, "42 Text with P1 and P2"},
      {"%l", noLocation, 0, errorIn + "Diagnostic without location'"},
      {"%f", noLocation, 0, errorIn + "Diagnostic without location'"},
      {"%B", noLocation, 0, errorIn + "Diagnostic without location'"},
      {"%^", noLocation, 0, errorIn + "Diagnostic without location'"},
      {"%?C%(x%)", noLocation, 0, errorIn + "Diagnostic without location'"},
      {"%?F%(x%)", noLocation, 0, errorIn + "Diagnostic without location'"},
      {"%?L%(x%)", noLocation, 0, errorIn + "Diagnostic without location'"},
  });
}

TEST_F(FormatStringTest, EachErrorReportsItsOwnText) {
  const U_RefPtr<M_Diagnostic> d = make({});
  EXPECT_EQ(errorIn + "%h'", M_formatDiagnostic("%h", d, 0));
  EXPECT_EQ(errorIn + "Unexpected end'", M_formatDiagnostic("%?", d, 0));
  EXPECT_EQ("42", M_formatDiagnostic("%n", d, 0));
  EXPECT_EQ(errorIn + "L'", M_formatDiagnostic("%L", d, 0));

  const FM_ParseException first("one");
  const FM_ParseException second("two");
  EXPECT_STREQ("Error in format string 'one'", first.what());
  EXPECT_STREQ("Error in format string 'two'", second.what());
  std::ostringstream printed;
  second.print(printed);
  EXPECT_EQ("Error in format string at :two", printed.str());
}

TEST_F(FormatStringTest, UnknownNumbersHaveTheDefaultEntry) {
  Diag unknown;
  unknown.number = 9999;
  expectAll({{"%g|%t|%v", unknown, 0, "99|Unknown error|"}});
}

TEST_F(FormatStringTest, LongRunsAreCapped) {
  Diag farColumn;
  farColumn.column = 100000;
  Diag negativeColumn;
  negativeColumn.column = -5;
  Diag lowestColumn;
  lowestColumn.column = INT32_MIN;
  const std::string longText(70000, 'y');
  expectAll({
      {"%R(100000,x)", {}, 0, std::string(65536, 'x')},
      {"%R(99999999999,x)", {}, 0, std::string(65536, 'x')},
      {"%R(40000,ab)",
       {},
       0,
       [] {
         std::string s;
         for (int i = 0; i < 32768; ++i)
           s += "ab";
         return s;
       }()},
      {"%R(2," + longText + ")", {}, 0, longText},
      {"%^", farColumn, 0, std::string(65536, ' ') + "^\n"},
      {"[%^]", negativeColumn, 0, "[]"},
      {"%C|%R(%C,x)|%?c<0%(neg%)", lowestColumn, 0, "-2147483649||neg"},
  });
}

TEST_F(FormatStringTest, TextLongerThanTheLimitIsAnError) {
  std::string runs;
  for (int i = 0; i < 256; ++i)
    runs += "%R(99999,x)";
  EXPECT_EQ(FM_maxResultLength, M_formatDiagnostic(runs, make({}), 0).size());
  EXPECT_EQ(errorIn + "Result longer than 16777216 bytes'", M_formatDiagnostic(runs + "x", make({}), 0));
  // The part that is not taken counts too.
  EXPECT_EQ(errorIn + "Result longer than 16777216 bytes'",
            M_formatDiagnostic("%?u%(" + runs + "%:x%)", make({}), 0));
}

TEST_F(FormatStringTest, ShownFileAndLineComeFromALineDirective) {
  const QL_Filename shown("/canon/gen/shown.y", "gen/shown.y");
  const U_RefPtr<M_Diagnostic> d(new M_Diagnostic(42, U_Location(sourceFile, 12, 3).withHLLoc(shown, 70)));
  EXPECT_EQ("gen/shown.y|/canon/gen/shown.y|shown.y|70|3", M_formatDiagnostic("%f|%F|%B|%l|%c", d, 0));
  // The conditions compare the location's own file and line.
  FM_previousLocation() = U_Location(sourceFile, 12, 3);
  EXPECT_EQ("", M_formatDiagnostic("%?F%(F%)%?L%(L%)%?C%(C%)", d, 0));
}

TEST_F(FormatStringTest, ConditionsCompareWithTheRememberedLocation) {
  struct Step {
    U_Location previous;
    std::string changed;
  };
  const Step steps[] = {
      {U_Location(), "FLC"},
      {U_Location(otherFile, 12, 3), "FLC"},
      {U_Location(sourceFile, 11, 3), "LC"},
      {U_Location(sourceFile, 12, 4), "C"},
      {U_Location(sourceFile, 12, 3), ""},
  };
  const U_RefPtr<M_Diagnostic> d = make({});
  for (const Step &step : steps) {
    FM_previousLocation() = step.previous;
    EXPECT_EQ(step.changed, M_formatDiagnostic("%?F%(F%)%?L%(L%)%?C%(C%)", d, 0))
        << "previous: " << (step.previous.isSet() ? step.previous.getLine() : -1);
  }
}

TEST_F(FormatStringTest, QRemembersAndForgetsTheLocation) {
  const std::string changes = "%?F%(F%)%?L%(L%)%?C%(C%)";
  const U_RefPtr<M_Diagnostic> first = make({});
  Diag sameLine;
  sameLine.column = 9;
  const U_RefPtr<M_Diagnostic> second = make(sameLine);

  // Without q or Q nothing is remembered.
  EXPECT_EQ("FLC", M_formatDiagnostic(changes, first, 0));
  EXPECT_EQ("FLC", M_formatDiagnostic(changes, second, 0));
  // With q, the next diagnostic on the same line finds L false.
  EXPECT_EQ("FLC", M_formatDiagnostic(changes + "%q", first, 0));
  EXPECT_EQ(first->getLocation(), FM_previousLocation());
  EXPECT_EQ("C", M_formatDiagnostic(changes, second, 0));
  // A failing call leaves the remembered location alone.
  EXPECT_EQ(errorIn + "%h'", M_formatDiagnostic("%q%h", second, 0));
  EXPECT_EQ(errorIn + "%h'", M_formatDiagnostic("%Q%h", second, 0));
  EXPECT_EQ(first->getLocation(), FM_previousLocation());
  // q in the part that is not taken has no effect.
  EXPECT_EQ("", M_formatDiagnostic("%?u%(%q%)", second, 0));
  EXPECT_EQ(first->getLocation(), FM_previousLocation());
  // Q wins over q, and makes F, L and C true at the next call.
  EXPECT_EQ("", M_formatDiagnostic("%q%Q", second, 0));
  EXPECT_FALSE(FM_previousLocation().isSet());
  EXPECT_EQ("FLC", M_formatDiagnostic(changes, first, 0));
}

TEST_F(FormatStringTest, CaretWithACallerValueOnlyOnTheRememberedLine) {
  const U_RefPtr<M_Diagnostic> first = make({});
  Diag nextLine;
  nextLine.line = 13;
  const U_RefPtr<M_Diagnostic> second = make(nextLine);
  // No remembered location: nothing, and nothing remembered.
  EXPECT_EQ("[]", M_formatDiagnostic("[%^]", first, 1));
  EXPECT_FALSE(FM_previousLocation().isSet());
  // With u = 0 the caret shows and remembers the location.
  EXPECT_EQ("[  ^\n]", M_formatDiagnostic("[%^]", first, 0));
  EXPECT_EQ(first->getLocation(), FM_previousLocation());
  EXPECT_EQ("[  ^\n]", M_formatDiagnostic("[%^]", first, 1));
  EXPECT_EQ("[]", M_formatDiagnostic("[%^]", second, 1));
  // A caret in the part that is not taken remembers nothing.
  FM_forgetPreviousLocation();
  EXPECT_EQ("", M_formatDiagnostic("%?u%(%^%)", first, 0));
  EXPECT_FALSE(FM_previousLocation().isSet());
}

TEST_F(FormatStringTest, ConditionalsNestUpToTheLimit) {
  std::string nested;
  for (int i = 0; i < FM_nestingLimit; ++i)
    nested += "%?u==0%(";
  nested += "in";
  for (int i = 0; i < FM_nestingLimit; ++i)
    nested += "%)";
  EXPECT_EQ("in", M_formatDiagnostic(nested, make({}), 0));
  // One more: the innermost conditional is the error.
  std::string innermost = "%? u == 0 %( in";
  for (int i = 0; i <= FM_nestingLimit; ++i)
    innermost += " %)";
  EXPECT_EQ(errorIn + innermost + "'", M_formatDiagnostic("%?u==0%(" + nested + "%)", make({}), 0));
}

TEST_F(FormatStringTest, ShowFormatWritesTheTokensAndTheResult) {
  setArguments({"-debug", "show-format"});
  m_arguments.installation().writeFile("lyr.msg", messageFile);
  M_forgetMessageCatalogue();
  struct Shown {
    std::string format;
    std::string output;
    std::string result;
  };
  const Shown cases[] = {
      {"%?u%(A%:100%%%)", "%? u  %( A %: 100 %% %)\n100%\n", "100%"},
      {"%w5abcdefg", "%w 5 abcdefg\nabcde\nfg\n", "abcde\nfg"},
      // An evaluation error after the token list, a reading error before it.
      {"%h", "%h\n", errorIn + "%h'"},
      {"%L", "", errorIn + "L'"},
  };
  for (const Shown &c : cases) {
    testing::internal::CaptureStdout();
    const std::string result = M_formatDiagnostic(c.format, make({}), 0);
    EXPECT_EQ(c.output, testing::internal::GetCapturedStdout()) << c.format;
    EXPECT_EQ(c.result, result) << c.format;
  }
}

} // namespace
