#include "foundation/IniFile.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class IniFileTest : public testing::Test {
protected:
  std::string write(const std::string &content) { return m_dir.writeFile("PRODUCT.ini", content); }

  test_support::ScratchDirectory m_dir;
};

TEST_F(IniFileTest, FindsTheKeyOfTheSection) {
  const std::string longValue(120, 'x');
  struct Case {
    const char *label;
    std::string content;
    std::string expected;
  };
  const Case cases[] = {
      {"plain", "[Japanese]\nZUT_LANG=ja_JP.eucJP\n", "ja_JP.eucJP"},
      {"case of section and key", "[jAPANESE]\nzut_lang=ja\n", "ja"},
      {"blanks and CR LF", "  [ Japanese ]  \r\n\t ZUT_LANG  =  ja_JP.SJIS \t\r\n", "ja_JP.SJIS"},
      {"other section first", "[Other]\nZUT_LANG=no\n[Japanese]\nZUT_LANG=yes\n", "yes"},
      {"key in another section only", "[Japanese]\nX=1\n[Other]\nZUT_LANG=no\n", ""},
      {"first key wins", "[Japanese]\nZUT_LANG=one\nZUT_LANG=two\n", "one"},
      {"comment line", "[Japanese]\n;ZUT_LANG=no\nZUT_LANG=yes\n", "yes"},
      {"empty value", "[Japanese]\nZUT_LANG=\n", ""},
      {"value keeps inner blanks and equals", "[Japanese]\nZUT_LANG= a b=c \n", "a b=c"},
      {"long value is cut", "[Japanese]\nZUT_LANG=" + longValue + "\n", std::string(99, 'x')},
      {"no section", "ZUT_LANG=ja\n", ""},
      {"prefix of the key", "[Japanese]\nZUT_LANGUAGE=ja\n", ""},
      {"last line without newline", "[Japanese]\nZUT_LANG=ja", "ja"},
      {"bytes above 0x7F", "[Japanese]\nZUT_LANG=\xA4\xA2\n", "\xA4\xA2"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, U_readIniValue(write(c.content), "Japanese", "ZUT_LANG")) << c.label;
}

TEST_F(IniFileTest, MissingFileGivesEmptyValue) {
  EXPECT_EQ("", U_readIniValue(m_dir / "missing.ini", "Japanese", "ZUT_LANG"));
}

} // namespace
