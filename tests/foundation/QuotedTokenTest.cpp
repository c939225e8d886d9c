#include "foundation/QuotedToken.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

struct TokenCase {
  std::string input;
  std::string token;
  std::string rest; // what the stream holds after the token
  bool failed;      // stream state after the extraction
};

TEST(QuotedTokenTest, ReadsOneToken) {
  const TokenCase cases[] = {
      {"  L\"a\\\"b\" more", "L\"a\\\"b\"", " more", false},
      {"word next", "word", "next", false},
      {"   word", "word", "", true},
      {"'x y' z", "'x y'", " z", false},
      {"\"unclosed text", "\"unclosed text", "", true},
      {"Lname rest", "Lname", "rest", false},
      {"L'c'", "L'c'", "", false},
      {"\"a\\\\\" b", "\"a\\\\\"", " b", false},
      {"a\\ b c", "a\\ b", "c", false},
      {"\tx y", "\tx", "y", false}, // tabs are not skipped
      {"", "", "", true},
      {"   ", "", "", true},
      {"L", "L", "", true},
      {"\"", "\"", "", true},
      {"'a\"b' c", "'a\"b'", " c", false},
      {"\\ x y", "\\ x", "y", false},   // a leading backslash escapes the blank
      {"L\\ x y", "L\\ x", "y", false}, // also after the L prefix
      {"\\\\ x", "\\\\", "x", false},   // an escaped backslash escapes nothing
  };
  for (const TokenCase &c : cases) {
    std::istringstream in(c.input);
    std::string token = "old";
    in >> U_QuotedToken(token);
    EXPECT_EQ(c.token, token) << c.input;
    EXPECT_EQ(c.failed, in.fail()) << c.input;
    in.clear();
    std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(c.rest, rest) << c.input;
  }
}

TEST(QuotedTokenTest, MakingTheManipulatorEmptiesTheTarget) {
  std::string target = "previous";
  U_QuotedToken token(target);
  EXPECT_EQ("", target);
}

TEST(QuotedTokenTest, ReadsTokensInTurn) {
  std::istringstream in("\"a b\" c 'd'");
  std::string first, second, third, fourth;
  in >> U_QuotedToken(first) >> U_QuotedToken(second) >> U_QuotedToken(third);
  EXPECT_EQ("\"a b\"", first);
  EXPECT_EQ("c", second);
  EXPECT_EQ("'d'", third);
  EXPECT_FALSE(static_cast<bool>(in >> U_QuotedToken(fourth)));
  EXPECT_EQ("", fourth);
}

TEST(QuotedTokenTest, Unescape) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"\\n\\\\", "\n\\"},        {"a\\tb", "a\tb"},   {"\\x", "\\x"}, {"end\\", "end\\"},
      {"\\\\n", "\\n"},           {"\\\\\\n", "\\\n"}, {"", ""},       {"plain", "plain"},
      {"\\\"q\\\"", "\\\"q\\\""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.expected, U_unescape(c.text)) << c.text;
}

} // namespace
