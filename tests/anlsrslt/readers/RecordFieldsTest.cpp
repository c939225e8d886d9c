#include "anlsrslt/readers/RecordFields.h"

#include "anlsrslt/model/RecordTokens.h"
#include "foundation/FileIdentity.h"
#include "support/CurrentArguments.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace {

U_RefPtr<FilenameProxy> proxyOf(const std::string &path) {
  return P_filenameProxyFor(QL_Filename::fromPath(path));
}

// Each line is read as a word, a number, a letter, a file and a name, the
// fields a record line holds; a field that cannot be read ends the reading.
TEST(RecordFieldsTest, FieldsReadAsStreamExtractionReadsThem) {
  const struct Case {
    std::string line;
    bool ok;
    std::string word;
    std::int32_t number;
    char letter;
    std::string file;
    std::string name;
  } cases[] = {
      {"w 12 N /s/a.c ::f(v)", true, "w", 12, 'N', "/s/a.c", "::f\x8Ev\x8F"},
      {"  w\t+12\v\fN  /s/a.c \r::f", true, "w", 12, 'N', "/s/a.c", "::f"},
      {"w -0 N /s/a.c f", true, "w", 0, 'N', "/s/a.c", "f"},
      {"w 007 N /s/a.c f", true, "w", 7, 'N', "/s/a.c", "f"},
      {"w -2147483648 N /s/a.c f", true, "w", -2147483648, 'N', "/s/a.c", "f"},
      // A number ends at its last digit.
      {"w 12abc /s/a.c f", true, "w", 12, 'a', "bc", "/s/a.c"},
      {"w 0x10 N /s/a.c f", true, "w", 0, 'x', "10", "N"},
      // Quoted file names keep their blanks; a backslash protects a blank.
      {"w 1 N \"/s/my dir/a.c\" f", true, "w", 1, 'N', "/s/my dir/a.c", "f"},
      {"w 1 N /s/my\\ dir/a.c f", true, "w", 1, 'N', "/s/my/ dir/a.c", "f"},
      {"w 1 N L\"/s/a.c\" f", true, "w", 1, 'N', "L\"/s/a.c\"", "f"},
      // Only blanks come before a file name: a tab belongs to it.
      {"w 1 N\t/s/a.c f", true, "w", 1, 'N', "\t/s/a.c", "f"},
      // Failures: a field missing, a number that is no number or too large.
      {"", false, "", -1, '?', "", ""},
      {"w", false, "w", -1, '?', "", ""},
      {"w x N /s/a.c f", false, "w", -1, '?', "", ""},
      {"w + N /s/a.c f", false, "w", -1, '?', "", ""},
      {"w 2147483648 N /s/a.c f", false, "w", -1, '?', "", ""},
      {"w -2147483649 N /s/a.c f", false, "w", -1, '?', "", ""},
      {"w 99999999999999999999 N /s/a.c f", false, "w", -1, '?', "", ""},
      {"w 1", false, "w", 1, '?', "", ""},
      {"w 1 N", false, "w", 1, 'N', "", ""},
      // A file name that the end of the line ends is read, but fails.
      {"w 1 N /s/a.c", false, "w", 1, 'N', "/s/a.c", ""},
      {"w 1 N \"/s/a.c", false, "w", 1, 'N', "\"/s/a.c", ""},
      {"w 1 N /s/a.c ", false, "w", 1, 'N', "/s/a.c", ""},
  };
  // File names are converted in the product's encoding.
  test_support::CurrentArguments arguments;
  for (const Case &c : cases) {
    P_RecordFields fields(c.line);
    std::string word = "old";
    std::int32_t number = -1;
    char letter = '?';
    U_RefPtr<FilenameProxy> file;
    P_NameToken name;
    fields.word(word).number(number).letter(letter).file(file).name(name);
    EXPECT_EQ(c.ok, fields.ok()) << c.line;
    EXPECT_EQ(c.word, word) << c.line;
    EXPECT_EQ(c.number, number) << c.line;
    EXPECT_EQ(c.letter, letter) << c.line;
    ASSERT_TRUE(file.isSet()) << c.line << ": the file is set also when it cannot be read";
    EXPECT_EQ(proxyOf(c.file), file) << c.line << " gives " << file->name();
    EXPECT_EQ(c.name, name.str()) << c.line;
  }
}

// Two tokens of each line read in place give what the copying form gives: the
// same texts, the same failure and the same rest of the line. A plain token
// is left in the line, any other is read into the scratch text.
TEST(RecordFieldsTest, QuotedTokensInPlaceAsCopied) {
  const struct Case {
    std::string line;
    bool firstInPlace;
  } cases[] = {
      {"a.c b.h 3 -", true},
      {"  a.c   b.h 3", true},
      {"\"my dir/a.c\" b.h 3", false},
      {"'a b' \"c d\" 3", false},
      {"L\"a.c\" b.h 3", false},
      {"Lib/a.c b.h 3", false},
      {"my\\ dir/a.c b.h 3", false},
      {"\\a b 3", false},
      {"a.c\tb.h c 3", true},
      // The end of the line ends a token: the reading fails, what was read
      // stays.
      {"a.c b.h", true},
      {"a.c \"b.h", true},
      {"\"a.c b.h", false},
      {"a.c", false},
      {"", false},
      {"   ", false},
  };
  for (const Case &c : cases) {
    P_RecordFields copying(c.line);
    std::string first = "old";
    std::string second = "old";
    copying.quoted(first).quoted(second);
    P_RecordFields inPlace(c.line);
    std::string firstScratch = "old";
    std::string secondScratch = "old";
    std::string_view firstView = "old";
    std::string_view secondView = "old";
    inPlace.quoted(firstView, firstScratch).quoted(secondView, secondScratch);
    EXPECT_EQ(copying.ok(), inPlace.ok()) << c.line;
    EXPECT_EQ(first, firstView) << c.line;
    EXPECT_EQ(second, secondView) << c.line;
    EXPECT_EQ(copying.rest(), inPlace.rest()) << c.line;
    const bool inLine = firstView.data() >= c.line.data() && firstView.data() < c.line.data() + c.line.size();
    EXPECT_EQ(c.firstInPlace, inLine) << c.line;
  }
}

TEST(RecordFieldsTest, WordsInPlace) {
  P_RecordFields fields(" <DEFINE>  a\tb ");
  EXPECT_EQ("<DEFINE>", fields.word());
  EXPECT_EQ("a", fields.word());
  EXPECT_EQ("b", fields.word());
  EXPECT_TRUE(fields.ok());
  EXPECT_EQ("", fields.word());
  EXPECT_FALSE(fields.ok());
  EXPECT_EQ("", fields.word()) << "nothing after a failure";
}

} // namespace
