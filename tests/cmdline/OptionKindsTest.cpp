#include "cmdline/OptionKinds.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/Options.h"
#include "foundation/Language.h"
#include "support/ScratchDirectory.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>

namespace {

// The outcome of one use of an option.
struct Use {
  std::optional<std::string> error; // what() of the configuration error raised, if any
  std::string rest;                 // what the stream still held afterwards
};

Use setFrom(C_OptionBase &option, const std::string &text, bool ownWord) {
  std::istringstream in(text);
  Use use;
  try {
    option.set(in, ownWord);
  } catch (const C_ConfigurationException &e) {
    use.error = e.what();
  }
  in.clear();
  use.rest = std::string(std::istreambuf_iterator<char>(in), {});
  return use;
}

// The option word carries its value: the stream holds only the rest of the word.
Use setInOwnWord(C_OptionBase &option, const std::string &rest) { return setFrom(option, rest, true); }

// The option word is bare: the stream holds the remaining words, one a line.
Use setFromWords(C_OptionBase &option, const std::string &words) { return setFrom(option, words, false); }

std::string invalidValue(const std::string &name, const std::string &value) {
  return "\nERROR: " + value + " is not a valid argument for option: " + name + "\n\n";
}

std::string valueExpected(const std::string &name) {
  return "\nERROR: Argument expected after " + name + "\n\n";
}

TEST(OptionKindsTest, Switch) {
  struct Case {
    bool defaultValue;
    bool ownWord;
    const char *text;
    bool expected;
    const char *badValue; // nullptr: accepted
    const char *rest;
  };
  const Case cases[] = {
      {false, false, "a.c\n", true, nullptr, "a.c\n"}, // bare: on, the next word is left alone
      {true, false, "-\n", true, nullptr, "-\n"},
      {false, true, "+", true, nullptr, ""},
      {true, true, "-", false, nullptr, ""},
      {false, true, "+abc", true, nullptr, "abc"}, // the rest after the sign is ignored
      {true, true, "  -", false, nullptr, ""},     // blanks before the sign are skipped
      {false, true, "x", false, "x", ""},          // a letter is refused, the value stays
      {true, true, "x", true, "x", ""},
      {false, true, "=+", false, "=", "+"},
      {true, true, "", true, "", ""},
      {true, true, "   ", true, "", ""},
  };
  for (const Case &c : cases) {
    C_OptionBool option("metrics", c.defaultValue);
    const Use use = c.ownWord ? setInOwnWord(option, c.text) : setFromWords(option, c.text);
    const std::string label = std::string(c.ownWord ? "own word '" : "words '") + c.text + "'";
    EXPECT_EQ(c.expected, option.value()) << label;
    EXPECT_TRUE(option.isSet()) << label; // given even when the value is refused
    EXPECT_EQ(c.badValue ? std::optional<std::string>(invalidValue("metrics", c.badValue)) : std::nullopt,
              use.error)
        << label;
    EXPECT_EQ(c.rest, use.rest) << label;
    EXPECT_EQ(option.value() ? "+ (on)" : "- (off)", option.valueText()) << label;
  }

  C_OptionBool option("metrics", true);
  setInOwnWord(option, "-");
  option.forget();
  EXPECT_TRUE(option.value());
  EXPECT_FALSE(option.isSet());
}

TEST(OptionKindsTest, Integer) {
  struct Case {
    bool ownWord;
    const char *text;
    std::int32_t expected;
    const char *rest;
  };
  const Case cases[] = {
      {true, "12abc", 12, ""},
      {true, "abc", 0, ""},
      {true, "=42", 42, ""},
      {true, "==42", 0, ""},
      {true, " 7", 7, ""},
      {true, "+3", 3, ""},
      {false, "-7\na.c\n", -7, "a.c\n"}, // the next word is the value even with a minus sign
      {false, "=5\n", 5, ""},
      {false, "x\na.c\n", 0, "a.c\n"}, // consumed although it holds no number
      {true, "2147483647", std::numeric_limits<std::int32_t>::max(), ""},
      {true, "-2147483648", std::numeric_limits<std::int32_t>::min(), ""},
      {true, "2147483648", 0, ""},
      {true, "99999999999", 0, ""},
  };
  for (const Case &c : cases) {
    C_OptionInt option("tabstop", 8);
    const Use use = c.ownWord ? setInOwnWord(option, c.text) : setFromWords(option, c.text);
    EXPECT_EQ(c.expected, option.value()) << c.text;
    EXPECT_EQ(std::nullopt, use.error) << c.text;
    EXPECT_EQ(c.rest, use.rest) << c.text;
    EXPECT_EQ(intToString(c.expected), option.valueText()) << c.text;
  }

  C_OptionInt last("tabstop", 8);
  EXPECT_EQ(valueExpected("tabstop"), setFromWords(last, "").error);
  EXPECT_EQ(8, last.value());
  EXPECT_TRUE(last.isSet());
  setFromWords(last, "3\n");
  last.forget();
  EXPECT_EQ(8, last.value());
  EXPECT_FALSE(last.isSet());
}

TEST(OptionKindsTest, NumberTexts) {
  const struct {
    std::int32_t value;
    const char *text;
  } numbers[] = {
      {0, "0"}, {8, "8"}, {-12, "-12"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  for (const auto &n : numbers) {
    EXPECT_EQ(n.text, intToString(n.value));
    EXPECT_EQ(n.value, stringToInt(n.text));
  }
  const struct {
    const char *text;
    std::int32_t value;
  } texts[] = {{"", 0},    {"-", 0},   {"+", 0},          {" \t42x", 42},    {"0042", 42},
               {"1 2", 1}, {"- 1", 0}, {"4294967296", 0}, {"-2147483649", 0}};
  for (const auto &t : texts)
    EXPECT_EQ(t.value, stringToInt(t.text)) << "'" << t.text << "'";
}

TEST(OptionKindsTest, String) {
  C_OptionString style("style", "exdented");
  EXPECT_EQ("exdented", style.value());
  EXPECT_STREQ("exdented", style.cStr());
  setFromWords(style, "first\n");
  setInOwnWord(style, "=second value");
  EXPECT_EQ("second value", style.value()); // the last use wins, blanks kept
  EXPECT_EQ("second value", style.valueText());
  style.forget();
  EXPECT_EQ("exdented", style.value());
  EXPECT_FALSE(style.isSet());

  C_OptionString ident("ident", "");
  EXPECT_EQ(nullptr, ident.cStr()); // never given and empty
  setInOwnWord(ident, "=");
  ASSERT_NE(nullptr, ident.cStr()); // given, even empty
  EXPECT_STREQ("", ident.cStr());
  ident.forget();
  EXPECT_EQ(nullptr, ident.cStr());

  C_OptionString dashed("msgref", "");
  EXPECT_EQ("a.c\n", setFromWords(dashed, "-op\na.c\n").rest);
  EXPECT_EQ("-op", dashed.value());
  EXPECT_EQ(valueExpected("msgref"), setFromWords(dashed, "").error);
}

TEST(OptionKindsTest, TextAndFileName) {
  C_OptionI8NString format("format", "");
  setInOwnWord(format, "=%f:%l: %t");
  EXPECT_EQ("%f:%l: %t", format.value());
  EXPECT_EQ("%f:%l: %t", format.valueText());
  format.forget();
  EXPECT_EQ("", format.value());

  const struct {
    const char *text;
    const char *expected;
  } names[] = {
      {"C:\\dir\\sub\\out", "C:/dir/sub/out"},
      {"=rel\\dir/x", "rel/dir/x"},
      {"/abs/dir", "/abs/dir"},
      {"", ""},
  };
  for (const auto &n : names) {
    C_OptionFilename option("outputpath", "");
    setInOwnWord(option, n.text);
    EXPECT_EQ(n.expected, option.getValue()) << n.text;
    EXPECT_EQ(n.expected, option.valueText()) << n.text;
  }
  C_OptionFilename option("outputpath", "");
  EXPECT_EQ(valueExpected("outputpath"), setFromWords(option, "").error);
  EXPECT_EQ("x\n", setFromWords(option, "dir\\a\nx\n").rest);
  EXPECT_EQ("dir/a", option.getValue());
  option.forget();
  EXPECT_EQ("", option.getValue());
  EXPECT_FALSE(option.isSet());
}

// A Shift_JIS product: values arrive in Shift_JIS and are kept in EUC; the
// second byte 0x5C of a Shift_JIS character is no backslash.
TEST(OptionKindsTest, ValuesAreConvertedFromTheProductEncoding) {
  const test_support::ScratchDirectory installation;
  installation.writeFile("LYR.ini", "[Japanese]\nZUT_LANG=ja_JP.SJIS\n");
  const test_support::EnvironmentVariable bin("LYRBIN", installation.path());
  const test_support::EnvironmentVariable noCache("NO_LANG_CACHE", std::string("1"));
  QL_resetLanguageCaches();                // an earlier test may have kept another language
  const C_CmdArgs args("lyr", 0, nullptr); // makes lyr the current product

  C_OptionI8NString format("format", "");
  setInOwnWord(format, "=\x83\x41%t");
  EXPECT_EQ("\xA5\xA2%t", format.value());
  EXPECT_EQ("\x83\x41%t", format.valueText());

  C_OptionFilename path("outputpath", "");
  setInOwnWord(path, "\x95\x5C\\x");
  EXPECT_EQ("\xC9\xBD/x", path.getValue());
}

TEST(OptionKindsTest, EchoPrintsAtOnce) {
  C_OptionEcho echo("echo");
  std::istringstream in("reading settings\n-later\n");
  testing::internal::CaptureStdout();
  echo.set(in, false);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ("reading settings\n", printed);
  std::string next;
  std::getline(in, next);
  EXPECT_EQ("-later", next); // printed before the next word was read
  EXPECT_EQ("", echo.valueText());

  testing::internal::CaptureStdout();
  const Use use = setInOwnWord(echo, "=hello, world");
  EXPECT_EQ("hello, world\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(std::nullopt, use.error);
  EXPECT_EQ(valueExpected("echo"), setFromWords(echo, "").error);
}

TEST(OptionKindsTest, ForgetReturnsTheNamedOptionToItsDefault) {
  struct Case {
    const char *product;
    const char *word;      // names the option to forget
    const char *forgotten; // option expected back at its default; nullptr: the word names none
  };
  const Case cases[] = {
      {"lyr", "tabstop", "tabstop"},
      {"lyr", "t", "tabstop"},
      {"lyr", "TAB", "tabstop"},
      {"lyr", "sty", "style"},
      {"lyr", "deb", "debug"},
      {"lyr", "no", "nomsg"},
      {"lyr", "i", "i"},
      {"lyr", "=tabstop", "tabstop"},
      {"lyrpp", "sa", "showalias"},
      {"kef", "i", nullptr},
      {"kef", "sty", "standard"},
      {"kef", "xc", nullptr},
      {"lyr", "zzz", nullptr},
      {"lyr", "-t", nullptr},
      {"duv", "rec", "syntaxreccmds"},
  };
  for (const Case &c : cases) {
    C_CmdArgs args(c.product, 0, nullptr);
    C_Options &options = *args.options();
    setInOwnWord(options.tabStop(), "4");
    setInOwnWord(options.style(), "indented");
    setInOwnWord(options.debug(), "log");
    setInOwnWord(options.noMsg(), "1-3");
    setInOwnWord(options.i(), "inc");
    setInOwnWord(options.showAlias(), "-");
    setInOwnWord(options.syntaxRecCmds(), "x");
    setInOwnWord(options.standard(), "+");
    const std::string label = std::string(c.product) + " '" + c.word + "'";

    const Use use = setInOwnWord(options.forgetAll(), c.word);
    if (!c.forgotten) {
      EXPECT_EQ(invalidValue("forgetall", c.word[0] == '=' ? c.word + 1 : c.word), use.error) << label;
      EXPECT_EQ(4, options.tabStop().value()) << label;
      continue;
    }
    EXPECT_EQ(std::nullopt, use.error) << label;
    const std::string name = c.forgotten;
    const C_OptionBase *given[] = {&options.tabStop(),       &options.style(),   &options.debug(),
                                   &options.noMsg(),         &options.i(),       &options.showAlias(),
                                   &options.syntaxRecCmds(), &options.standard()};
    for (const C_OptionBase *option : given)
      EXPECT_EQ(option->name() != name, option->isSet()) << label << ": " << option->name();
  }

  C_CmdArgs args("lyr", 0, nullptr);
  C_Options &options = *args.options();
  setInOwnWord(options.tabStop(), "4");
  setInOwnWord(options.style(), "indented");
  setInOwnWord(options.debug(), "log");
  setInOwnWord(options.noMsg(), "1-3");
  setInOwnWord(options.i(), "inc");
  setInOwnWord(options.forgetAll(), "t");
  setInOwnWord(options.forgetAll(), "style");
  setInOwnWord(options.forgetAll(), "debug");
  setFromWords(options.forgetAll(), "nomsg\n");
  setFromWords(options.forgetAll(), "i\n");
  EXPECT_EQ(8, options.tabStop().value());
  EXPECT_EQ("exdented", options.style().value());
  EXPECT_TRUE(options.debug().values().empty());
  EXPECT_TRUE(options.noMsg().values().empty());
  EXPECT_TRUE(options.i().values().empty());
  EXPECT_EQ("", options.forgetAll().valueText());
  EXPECT_EQ(valueExpected("forgetall"), setFromWords(options.forgetAll(), "").error);
}

TEST(OptionKindsTest, ForgetInACopiedOptionSetKnowsNoNames) {
  C_CmdArgs args("lyr", 0, nullptr);
  EXPECT_EQ(&args, args.options()->forgetAll().owner());
  C_Options copy(*args.options());
  EXPECT_EQ(nullptr, copy.forgetAll().owner());
  setInOwnWord(copy.tabStop(), "4");
  EXPECT_EQ(invalidValue("forgetall", "tabstop"), setInOwnWord(copy.forgetAll(), "tabstop").error);
  EXPECT_EQ(4, copy.tabStop().value());
}

// Whatever the value looks like, every option that takes a value consumes the
// next word, and a bare switch consumes none: "-i dir" never leaves "dir" to
// be taken as an input file.
TEST(OptionKindsTest, OnlySwitchesLeaveTheNextWord) {
  C_CmdArgs args("lyrpp", 0, nullptr);
  C_Options &options = *args.options();
  int checked = 0;
  testing::internal::CaptureStdout(); // "echo" prints its value
#define C_OPTION(Kind, Name, Accessor, member, explicitSet, ...)                                             \
  {                                                                                                          \
    const Use use = setFromWords(options.member(), "zz\nnext\n");                                            \
    const bool isSwitch = std::is_same_v<Kind, C_OptionBool>;                                                \
    EXPECT_EQ(isSwitch ? "zz\nnext\n" : "next\n", use.rest) << Name;                                         \
    EXPECT_TRUE(options.member().isSet()) << Name;                                                           \
    ++checked;                                                                                               \
  }
#include "cmdline/OptionTable.def"
  EXPECT_EQ("zz\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(149, checked);
}

} // namespace
