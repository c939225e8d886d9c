#include "checks/NameRuleFile.h"

#include "anlsrslt/model/CurrentFile.h"
#include "support/ConfigurationError.h"
#include "support/CurrentArguments.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using test_support::CurrentArgumentsTest;
using test_support::isConfigurationError;
using test_support::readFile;
using test_support::ScratchDirectory;

// The library's text for a pattern that does not compile, as the rule keeps
// it; never empty.
std::string compileError(const std::string &pattern) {
  NameRule rule;
  EXPECT_NE(0, rule.setPattern(pattern)) << pattern;
  EXPECT_NE("", rule.regexError()) << pattern;
  return rule.regexError();
}

// What parseNameRule makes of one rule text on line 1.
struct ParsedRule {
  bool ok;
  std::string errors;
  NameRule rule;
};

ParsedRule parse(const std::string &text, std::size_t line = 1) {
  ParsedRule parsed{false, "", NameRule()};
  std::ostringstream errors;
  parsed.ok = parseNameRule(line, text, parsed.rule, errors);
  parsed.errors = errors.str();
  return parsed;
}

TEST(NameRuleFileTest, ValidRulesFillTheirFields) {
  struct Case {
    std::string text;
    std::uint32_t message, inc, def, space, scope, linkage;
    bool invert;
    // Which expressions are set: type, pattern, flag, filename, namespace.
    std::string expressions;
  };
  const Case cases[] = {
      {"{}", 4800, 0, 0, 0, 0, 0, false, ""},
      {"{'message':5001,'space':'macro','pattern':'^[A-Z0-9_]+$'}", 5001, 0, 0, 16, 0, 0, false, "p"},
      {"{\"message\":5001,\"space\":\"OM\"}", 5001, 0, 0, 16, 0, 0, false, ""},
      {"{'message':2147483647}", 2147483647, 0, 0, 0, 0, 0, false, ""},
      {"{'message':1}", 1, 0, 0, 0, 0, 0, false, ""},
      {"{'inc':'include,main'}", 4800, 3, 0, 0, 0, 0, false, ""},
      {"{'inc':'I N'}", 4800, 3, 0, 0, 0, 0, false, ""},
      {"{'inc':'main'}", 4800, 2, 0, 0, 0, 0, false, ""},
      {"{'def':'declaration definition implicit specialisation'}", 4800, 0, 15, 0, 0, 0, false, ""},
      {"{'def':'DC,DF,DI,DS'}", 4800, 0, 15, 0, 0, 0, false, ""},
      {"{'def':'implicit'}", 4800, 0, 4, 0, 0, 0, false, ""},
      {"{'space':'tag typedef function enumerator macro variable member'}", 4800, 0, 0, 127, 0, 0, false, ""},
      {"{'space':'TG,OT,OF,OE,OM,OV,MB'}", 4800, 0, 0, 127, 0, 0, false, ""},
      {"{'space':'member'}", 4800, 0, 0, 64, 0, 0, false, ""},
      {"{'scope':'block class file namespace prototype template'}", 4800, 0, 0, 0, 63, 0, false, ""},
      {"{'scope':'B,C,F,S,P,T'}", 4800, 0, 0, 0, 63, 0, false, ""},
      {"{'scope':'class'}", 4800, 0, 0, 0, 8, 0, false, ""},
      {"{'linkage':'external internal none'}", 4800, 0, 0, 0, 0, 7, false, ""},
      {"{'linkage':'X,I,N'}", 4800, 0, 0, 0, 0, 7, false, ""},
      {"{'linkage':'none'}", 4800, 0, 0, 0, 0, 4, false, ""},
      {"{'invert':true}", 4800, 0, 0, 0, 0, 0, true, ""},
      // false leaves inversion off.
      {"{'invert':false}", 4800, 0, 0, 0, 0, 0, false, ""},
      {"{'invert':true,'invert':false}", 4800, 0, 0, 0, 0, 0, false, ""},
      {"{'type':'^int$','flag':'F','filename':'\\\\.h$','namespace':'unnamed'}", 4800, 0, 0, 0, 0, 0, false,
       "tfln"},
      // An empty expression is no expression.
      {"{'pattern':'','type':''}", 4800, 0, 0, 0, 0, 0, false, ""},
      // Text after the object is not read.
      {"{'message':7} trailing {", 7, 0, 0, 0, 0, 0, false, ""},
      {"  {'message' = 8 'space' : 'tag',}", 8, 0, 0, 1, 0, 0, false, ""},
  };
  for (const Case &c : cases) {
    const ParsedRule parsed = parse(c.text);
    ASSERT_TRUE(parsed.ok) << c.text << ": " << parsed.errors;
    EXPECT_EQ("", parsed.errors) << c.text;
    const NameRule &r = parsed.rule;
    EXPECT_EQ(c.message, r.m_message) << c.text;
    EXPECT_EQ(c.inc, r.m_inc) << c.text;
    EXPECT_EQ(c.def, r.m_def) << c.text;
    EXPECT_EQ(c.space, r.m_space) << c.text;
    EXPECT_EQ(c.scope, r.m_scope) << c.text;
    EXPECT_EQ(c.linkage, r.m_linkage) << c.text;
    EXPECT_EQ(c.invert, r.invert()) << c.text;
    const std::string expressions = std::string(r.hasType() ? "t" : "") + (r.hasPattern() ? "p" : "") +
                                    (r.hasFlag() ? "f" : "") + (r.hasFilename() ? "l" : "") +
                                    (r.hasNamespace() ? "n" : "");
    EXPECT_EQ(c.expressions, expressions) << c.text;
  }
}

TEST(NameRuleFileTest, FaultyRulesReportEachFaultThenEchoTheRule) {
  struct Case {
    std::string text;
    std::string errorLines; // before the echo line
  };
  const std::string typeError = compileError("(");
  const std::string bracketError = compileError("[a");
  const Case cases[] = {
      // JSON faults: the position in the whole line, counted from 0.
      {"", "Line 1 ERROR: option parsing: unrecognised character column: 5\n"},
      {"x", "Line 1 ERROR: option parsing: unrecognised character column: 5\n"},
      {"   x", "Line 1 ERROR: option parsing: unrecognised character column: 8\n"},
      {"{x", "Line 1 ERROR: option parsing: unexpected end of input column: 7\n"},
      {"{'a':1", "Line 1 ERROR: option parsing: unexpected end of input column: 11\n"},
      {"{'message':99999999999}", "Line 1 ERROR: option parsing: number out of range column: 16\n"},
      {"{'message':-2147483649}", "Line 1 ERROR: option parsing: number out of range column: 16\n"},
      {"[1]", "Line 1 Rule is not a JSON object: [1]\n"},
      {"'{}'", "Line 1 Rule is not a JSON object: '{}'\n"},
      {"5001", "Line 1 Rule is not a JSON object: 5001\n"},
      // Word lists: every separator counts, so ", " encloses an empty word.
      {"{'inc':'include, main'}", "Line 1 Unknown value ''\n"},
      {"{'inc':''}", "Line 1 Unknown value ''\n"},
      {"{'inc':'main,'}", "Line 1 Unknown value ''\n"},
      {"{'linkage':'extern'}", "Line 1 Unknown value 'extern'\n"},
      {"{'space':'Macro'}", "Line 1 Unknown value 'Macro'\n"},
      {"{'space':'I'}", "Line 1 Unknown value 'I'\n"},
      {"{'scope':'x,file,y'}", "Line 1 Unknown value 'x'\nLine 1 Unknown value 'y'\n"},
      // Message numbers.
      {"{'message':0}", "Line 1 Message number 0 must be greater than zero \n"},
      {"{'message':-3}", "Line 1 Message number -3 must be greater than zero \n"},
      {"{'message':-2147483648}", "Line 1 Message number -2147483648 must be greater than zero \n"},
      {"{'message':4800.5}", "Line 1 Unknown value for object member name 'message'\n"},
      {"{'message':true}", "Line 1 Unknown object member name 'message' with boolean value 1\n"},
      {"{'message':'5'}", "Line 1 Unknown object member name 'message' with string value 5\n"},
      // Names and kinds.
      {"{'Message':5}", "Line 1 Unknown object member name 'Message' with integer value 5\n"},
      {"{'invert':1}", "Line 1 Unknown object member name 'invert' with integer value 1\n"},
      {"{'nope':false}", "Line 1 Unknown object member name 'nope' with boolean value 0\n"},
      {"{'space':null}", "Line 1 Unknown value for object member name 'space'\n"},
      {"{'space':['macro']}", "Line 1 Unknown value for object member name 'space'\n"},
      {"{'pattern':{}}", "Line 1 Unknown value for object member name 'pattern'\n"},
      // Expressions that do not compile.
      {"{'type':'('}", "Line 1 Type Regular expression '(' compile fail: " + typeError + "\n"},
      {"{'pattern':'('}", "Line 1 Pattern Regular expression '(' compile fail: " + typeError + "\n"},
      {"{'flag':'('}", "Line 1 Flag Regular expression '(' compile fail: " + typeError + "\n"},
      {"{'filename':'[a'}", "Line 1 Filename Regular expression '[a' compile fail: " + bracketError + "\n"},
      {"{'namespace':'('}", "Line 1 namespace Regular expression '(' compile fail: " + typeError +
                                " or value is not 'unnamed' \n"},
      // Members in byte order of their names, each fault reported.
      {"{'z':1,'a':'b','space':'x,macro,y','message':0}",
       "Line 1 Unknown object member name 'a' with string value b\n"
       "Line 1 Message number 0 must be greater than zero \n"
       "Line 1 Unknown value 'x'\nLine 1 Unknown value 'y'\n"
       "Line 1 Unknown object member name 'z' with integer value 1\n"},
  };
  for (const Case &c : cases) {
    const ParsedRule parsed = parse(c.text);
    EXPECT_FALSE(parsed.ok) << c.text;
    EXPECT_EQ(c.errorLines + " " + c.text + "\n", parsed.errors) << c.text;
  }
}

TEST(NameRuleFileTest, ErrorLinesCarryTheLineNumber) {
  EXPECT_EQ("Line 17 Unknown value 'q'\n {'def':'q'}\n", parse("{'def':'q'}", 17).errors);
}

TEST(NameRuleFileTest, ExpressionsMatchAnywhereUnlessAnchored) {
  struct Case {
    std::string pattern;
    std::string subject;
    bool matches;
  };
  const Case cases[] = {
      {"b", "abc", true},
      {"^b", "abc", false},
      {"^[A-Z0-9_]+$", "MAX_SIZE", true},
      {"^[A-Z0-9_]+$", "max_size", false},
      {"^[a-z]", "Count", false},
      {"c$", "abc", true},
      // EUC bytes of a name are matched as they are.
      {"^\xA4\xA2", "\xA4\xA2\xA4\xA4", true},
      // A NUL byte in the pattern is part of it, not its end.
      {std::string("a\0b", 3), "a", false},
      {"", "anything", false},
      // Nor does one end the subject: the whole of it is matched.
      {"c$", std::string("ab\0c", 4), true},
      {"^ab$", std::string("ab\0c", 4), false},
      {std::string("b\0c", 3), std::string("ab\0cd", 5), true},
  };
  for (const Case &c : cases) {
    NameRule rule;
    EXPECT_EQ(0, rule.setPattern(c.pattern)) << c.pattern << ": " << rule.regexError();
    EXPECT_EQ(c.matches, rule.acceptsName(c.subject)) << c.pattern << " on " << c.subject;
    // The same rule inverted accepts what it rejected.
    rule.setInvert(true);
    EXPECT_EQ(!c.matches, rule.acceptsName(c.subject)) << c.pattern << " on " << c.subject;
  }
}

// Each match is bounded: an expression that backtracks beyond the bound
// leaves the match undecided, whatever bound of its own it sets, and a rule
// never takes an undecided name to break it, inverted or not.
TEST(NameRuleFileTest, MatchesThatBacktrackTooFarAreUndecided) {
  struct Case {
    std::string pattern;
    std::string subject;
    ExpressionMatch expected;
  };
  const std::string backtracking = "^((a+)+c|a+b)$";
  const std::string a30(30, 'a');
  const Case cases[] = {
      {backtracking, a30 + "b", ExpressionMatch::undecided},
      {backtracking, a30 + "c", ExpressionMatch::match},
      {backtracking, "ab", ExpressionMatch::match},
      {backtracking, "zz", ExpressionMatch::noMatch},
      // Unbounded, the library decides this one after some hundred thousand
      // steps; a higher bound of the expression's own gives way to the bound.
      {"(*LIMIT_MATCH=10000000)" + backtracking, std::string(18, 'a') + "b", ExpressionMatch::undecided},
      {"(*UTF)(*LIMIT_DEPTH=1000000)" + backtracking, a30 + "b", ExpressionMatch::undecided},
      {"(*UTF)^x", "xy", ExpressionMatch::match},
      // A verb that opens the expression is no setting: the bound goes first.
      {"(*F)|" + backtracking, a30 + "b", ExpressionMatch::undecided},
      {"(*F)|x", "x", ExpressionMatch::match},
  };
  for (const Case &c : cases) {
    NameRuleExpression expression;
    std::string error;
    ASSERT_EQ(0, expression.assign(c.pattern, error)) << c.pattern << ": " << error;
    EXPECT_EQ(c.expected, expression.match(c.subject)) << c.pattern << " on " << c.subject;
    NameRule rule;
    ASSERT_EQ(0, rule.setPattern(c.pattern));
    for (const bool invert : {false, true}) {
      rule.setInvert(invert);
      if (c.expected == ExpressionMatch::undecided)
        EXPECT_TRUE(rule.acceptsName(c.subject)) << c.pattern << " on " << c.subject << " invert " << invert;
      else
        EXPECT_EQ((c.expected == ExpressionMatch::match) != invert, rule.acceptsName(c.subject))
            << c.pattern << " on " << c.subject << " invert " << invert;
    }
  }
}

TEST(NameRuleFileTest, CopiesOfARuleShareItsCompiledExpressions) {
  std::vector<NameRule> rules;
  {
    NameRule rule;
    ASSERT_EQ(0, rule.setPattern("^x"));
    rules.push_back(rule);
    rules.push_back(rule);
  }
  rules.erase(rules.begin());
  EXPECT_TRUE(rules.front().acceptsName("xy"));
}

TEST(NameRuleFileTest, UnnamedStandsForTheAnonymousNamespaceExpression) {
  NameRule rule;
  ASSERT_EQ(0, rule.setNamespace("unnamed"));
  EXPECT_TRUE(rule.namespaceMatches("::@UN1a2B"));
  EXPECT_TRUE(rule.namespaceMatches("::@UN"));
  EXPECT_FALSE(rule.namespaceMatches("::@UN_x"));
  EXPECT_FALSE(rule.namespaceMatches("ns::@UN1"));
  // Any other text is an expression of its own.
  ASSERT_EQ(0, rule.setNamespace("Unnamed"));
  EXPECT_TRUE(rule.namespaceMatches("xUnnamedx"));
}

// Rule files read through loadNameRules, with the output directory of a run.
class NameRuleFileLoadTest : public CurrentArgumentsTest {
protected:
  NameRuleFileLoadTest() { P_outputDirectory() = m_out.path(); }
  ~NameRuleFileLoadTest() override { P_outputDirectory().clear(); }

  std::string errorsPath() const { return m_out / kNameCheckErrorsFile; }
  std::string seeLine() const { return " see " + errorsPath() + " for details\n"; }
  static std::string syntaxError(const std::string &seeLine) {
    return "ERROR: Name Checker syntax error in configuration file.\n" + seeLine + "\n";
  }

  ScratchDirectory m_files;
  ScratchDirectory m_out;
};

TEST_F(NameRuleFileLoadTest, FilesWithoutFaultsGiveTheirRulesInLineOrder) {
  struct Case {
    std::string name;
    std::string bytes;
    std::vector<std::uint32_t> messages;
  };
  const Case cases[] = {
      {"empty", "", {}},
      {"comments and other lines", "# rules\n\n rule={}\nRule={}\nrule\nrul\n*rule={}\n", {}},
      {"one rule", "rule={}\n", {4800}},
      {"no line end", "rule={'message':5}", {5}},
      {"CR LF", "rule={'message':5}\r\n\r\n# x\r\nrule={'message':6}\r\n", {5, 6}},
      {"lines between", "rule={'message':9}\n\n#\nrule={'message':8}\nrule={'message':7}\n", {9, 8, 7}},
  };
  for (const Case &c : cases) {
    m_out.writeFile(kNameCheckErrorsFile, "from an earlier run");
    const std::vector<NameRule> rules = loadNameRules(m_files.writeFile("rules.txt", c.bytes));
    std::vector<std::uint32_t> messages;
    for (const NameRule &rule : rules)
      messages.push_back(rule.m_message);
    EXPECT_EQ(c.messages, messages) << c.name;
    // The errors file of an earlier run is gone and no new one is made.
    EXPECT_FALSE(std::filesystem::exists(errorsPath())) << c.name;
  }
}

TEST_F(NameRuleFileLoadTest, FaultyRulesAreAllReportedInTheErrorsFile) {
  struct Case {
    std::string name;
    std::string bytes;
    std::string errorsFile;
  };
  const Case cases[] = {
      {"lines 2 and 5", "rule={}\nrule={'message':0}\n#\nrule={}\nrule=[1]\nrule={}\n",
       "Line 2 Message number 0 must be greater than zero \n {'message':0}\n"
       "Line 5 Rule is not a JSON object: [1]\n [1]\n"},
      {"empty rule text", "rule=", "Line 1 ERROR: option parsing: unrecognised character column: 5\n \n"},
      {"CR LF is no part of the echo", "\r\nrule={'message':0}\r\n",
       "Line 2 Message number 0 must be greater than zero \n {'message':0}\n"},
      {"lone CR stays in the line", "rule={'space':'tag\r'}\n",
       "Line 1 Unknown value 'tag\r'\n {'space':'tag\r'}\n"},
      {"an open object", "rule={x\n",
       "Line 1 ERROR: option parsing: unexpected end of input column: 7\n {x\n"},
  };
  for (const Case &c : cases) {
    std::exception_ptr error;
    try {
      loadNameRules(m_files.writeFile("rules.txt", c.bytes));
    } catch (...) {
      error = std::current_exception();
    }
    EXPECT_TRUE(isConfigurationError(error, syntaxError(seeLine()))) << c.name;
    EXPECT_EQ(c.errorsFile, readFile(errorsPath())) << c.name;
  }
}

TEST_F(NameRuleFileLoadTest, AFileThatCannotBeOpenedIsReportedInTheErrorsFile) {
  for (const std::string &name : {m_files / "missing.txt", m_files.makeDirectory("a-directory")}) {
    std::exception_ptr error;
    try {
      loadNameRules(name);
    } catch (...) {
      error = std::current_exception();
    }
    EXPECT_TRUE(isConfigurationError(error, syntaxError(seeLine()))) << name;
    EXPECT_EQ("Cannot open file " + name + "\n", readFile(errorsPath())) << name;
  }
}

TEST_F(NameRuleFileLoadTest, AnErrorsFileThatCannotBeWrittenLeavesOutTheSeeLine) {
  P_outputDirectory() = m_out / "no-such-directory";
  std::exception_ptr error;
  try {
    loadNameRules(m_files.writeFile("rules.txt", "rule={'message':0}\n"));
  } catch (...) {
    error = std::current_exception();
  }
  EXPECT_TRUE(isConfigurationError(error, syntaxError("")));
}

} // namespace
