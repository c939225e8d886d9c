// The syntax of message files: logical lines, comments, directives and
// message lines, and which of two lines for one number stays.
#include "messages/MessageFileReader.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageLevels.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Each entry as "<number> [<text>] [<second text>] <level>".
std::vector<std::string> describe(const M_MessageMap &messages) {
  std::vector<std::string> result;
  for (const auto &[number, entry] : messages)
    result.push_back(std::to_string(number) + " [" + entry.text() + "] [" + entry.secondText() + "] " +
                     entry.levelName());
  return result;
}

// A text and the entries that reading it gives.
struct ReadCase {
  const char *name;
  std::string text;
  std::vector<std::string> expected;
};

class MessageFileReaderTest : public testing::Test {
protected:
  void SetUp() override { M_forgetMessageCatalogue(); }
  void TearDown() override { M_forgetMessageCatalogue(); }

  // Reads the text into m_messages; returns what went to standard error.
  std::string read(const std::string &text, bool higherWins = false) {
    std::istringstream in(text);
    testing::internal::CaptureStderr();
    readMessageStream(in, m_messages, higherWins);
    return testing::internal::GetCapturedStderr();
  }

  M_MessageMap m_messages;
};

TEST_F(MessageFileReaderTest, LogicalLinesAndMessageLines) {
  const ReadCase cases[] = {
      {"two backslashes join with @@", "100 warn T\\\\\nS\n", {"100 [T] [S] warn"}},
      {"one backslash joins directly", "101 warn Fir\\\nst\n", {"101 [First] [] warn"}},
      {"joins over several lines", "102 warn a\\\nb\\\\\nc\\\nd\n", {"102 [ab] [cd] warn"}},
      {"three backslashes keep one", "103 warn a\\\\\\\nb\n", {"103 [a\\] [b] warn"}},
      {"backslash inside a line", "104 warn a\\b\n", {"104 [a\\b] [] warn"}},
      {"CR LF", "105 warn A\r\n106 warn B\r\n", {"105 [A] [] warn", "106 [B] [] warn"}},
      {"CR LF continuations", "107 warn Fir\\\r\nst\\\\\r\nS\r\n", {"107 [First] [S] warn"}},
      {"every CR at the end goes", "108 warn A\r\r\n", {"108 [A] [] warn"}},
      {"a CR inside a line stays", "109 warn A\rB\n", {"109 [A\rB] [] warn"}},
      {"last line without a line feed",
       "110 warn a\n111 warn last",
       {"110 [a] [] warn", "111 [last] [] warn"}},
      {"continued line at the end", "112 warn open\\", {"112 [open] [] warn"}},
      {"continued with @@ at the end", "113 warn T\\\\\n", {"113 [T] [] warn"}},
      {"comments and empty lines", "* 114 warn no\n\n115 warn yes\n\n*\n", {"115 [yes] [] warn"}},
      {"the first @@ splits", "116 warn a@@b@@c\n", {"116 [a] [b@@c] warn"}},
      {"@@ at the start", "117 warn @@second\n", {"117 [] [second] warn"}},
      {"blanks and tabs between fields, trailing blanks kept",
       "  118 \t warn \t text  with  blanks  \n",
       {"118 [text  with  blanks  ] [] warn"}},
      {"signed number", "-5 warn minus\n+6 warn plus\n", {"-5 [minus] [] warn", "6 [plus] [] warn"}},
      {"number run into a word", "119warn text\n", {"119 [text] [] warn"}},
      {"number only", "120\n", {"120 [] [] "}},
      {"no text", "121 warn\n", {"121 [] [] warn"}},
      {"bytes of the internal encoding",
       "122 \xB7\xD9 \xC9\xBD\\\n\xC9\xBD\n",
       {"122 [\xC9\xBD\xC9\xBD] [] \xB7\xD9"}},
      {"empty text", "", {}},
  };
  for (const ReadCase &c : cases) {
    SCOPED_TRACE(c.name);
    m_messages.clear();
    EXPECT_EQ("", read(c.text));
    EXPECT_EQ(c.expected, describe(m_messages));
  }
}

// A line whose number does not read files nothing: neither an entry of its
// own nor one under the previous line's number.
TEST_F(MessageFileReaderTest, LinesWhoseNumberDoesNotReadAreSkipped) {
  const ReadCase cases[] = {
      {"blank line first", "   \n", {}},
      {"blank line after a message", "200 low keep\n   \n\t\n", {"200 [keep] [] low"}},
      {"word instead of a number", "201 low keep\nabc high lost\n", {"201 [keep] [] low"}},
      {"number too large",
       "202 low keep\n99999999999 high lost\n2147483648 high lost\n",
       {"202 [keep] [] low"}},
      {"sign alone", "203 low keep\n- high lost\n", {"203 [keep] [] low"}},
      {"continued blank line", "204 low keep\n \\\n \n", {"204 [keep] [] low"}},
  };
  for (const bool higherWins : {false, true}) {
    for (const ReadCase &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (higherWins ? ", higher wins" : ", lower wins"));
      M_forgetMessageCatalogue();
      m_messages.clear();
      EXPECT_EQ("", read("#define low 3\n#define high 9\n#define lower 1\n" + c.text, higherWins));
      EXPECT_EQ(c.expected, describe(m_messages));
    }
  }
}

TEST_F(MessageFileReaderTest, DefineGivesLevelNumberAndDescription) {
  EXPECT_EQ("", read("#define W 3 D\n"
                     "#define N 5\n"
                     "#define S -2 \t spaced  words  \n"
                     "#define R 1 first\n"
                     "#define R 2\n"
                     "#define C 4 joined \\\nline\n"));
  struct Case {
    const char *level;
    std::int32_t number;
    std::string description;
  };
  const Case cases[] = {
      {"W", 3, "D"}, {"N", 5, "N"}, {"S", -2, "spaced  words  "}, {"R", 2, "R"}, {"C", 4, "joined line"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.level);
    EXPECT_EQ(c.number, levelNumber(internSimpleString(c.level)));
    EXPECT_EQ(c.description, levelDescription(internSimpleString(c.level)));
  }
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(MessageFileReaderTest, DefineAndLevelnameWithoutANumberAreSkipped) {
  EXPECT_EQ("", read("#define K 4 kept\n"
                     "#levelname 4 Four\n"
                     "#define K x lost\n"
                     "#define K\n"
                     "#define\n"
                     "#levelname x Lost\n"
                     "#levelname\n"));
  EXPECT_EQ(4, levelNumber(internSimpleString("K")));
  EXPECT_EQ("kept", levelDescription(internSimpleString("K")));
  EXPECT_EQ("Four", levelDisplayName(4));
  EXPECT_EQ(99, levelNumber(internSimpleString("x")));
}

TEST_F(MessageFileReaderTest, LevelnameGivesDisplayNames) {
  EXPECT_EQ("", read("#levelname 3 X\n#levelname 4  Two  words \n#levelname 3 Y\n#levelname -1\n"));
  EXPECT_EQ("Y", levelDisplayName(3));
  EXPECT_EQ("Two  words ", levelDisplayName(4));
  EXPECT_EQ("", levelDisplayName(-1));
  EXPECT_EQ("", levelDisplayName(5));
}

TEST_F(MessageFileReaderTest, UnknownDirectivesWarnAndChangeNothing) {
  const std::string warnings = read("#include other.msg\n"
                                    "#Define W 1 letter case\n"
                                    "#definex W 1\n"
                                    "#\n"
                                    "# define W 1\n"
                                    "300 warn kept\n");
  EXPECT_EQ("Warning - Unknown directive '#include'\n"
            "Warning - Unknown directive '#Define'\n"
            "Warning - Unknown directive '#definex'\n"
            "Warning - Unknown directive '#'\n"
            "Warning - Unknown directive '#'\n",
            warnings);
  EXPECT_EQ(99, levelNumber(internSimpleString("W")));
  EXPECT_EQ(std::vector<std::string>{"300 [kept] [] warn"}, describe(m_messages));
}

TEST_F(MessageFileReaderTest, RepeatedNumberInOneFile) {
  struct Case {
    const char *name;
    std::string lines;
    std::string lowerWins;
    std::string higherWins;
  };
  const Case cases[] = {
      {"high level first", "400 hi first\n400 lo second\n", "400 [second] [] lo", "400 [first] [] hi"},
      {"low level first", "400 lo first\n400 hi second\n", "400 [first] [] lo", "400 [second] [] hi"},
      {"equal numbers keep the first", "400 hi first\n400 hi2 second\n", "400 [first] [] hi",
       "400 [first] [] hi"},
      {"undefined level counts 99", "400 undefined first\n400 hi second\n", "400 [second] [] hi",
       "400 [first] [] undefined"},
      {"three lines", "400 hi a\n400 lo b\n400 mid c\n", "400 [b] [] lo", "400 [a] [] hi"},
      // The level numbers as the level table stands at the later line.
      {"levels redefined between the lines", "400 lo first\n#define lo 10\n400 hi second\n",
       "400 [second] [] hi", "400 [first] [] lo"},
  };
  for (const Case &c : cases) {
    for (const bool higherWins : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (higherWins ? ", higher wins" : ", lower wins"));
      M_forgetMessageCatalogue();
      m_messages.clear();
      read("#define hi 9\n#define hi2 9\n#define mid 5\n#define lo 3\n" + c.lines, higherWins);
      EXPECT_EQ(std::vector<std::string>{higherWins ? c.higherWins : c.lowerWins}, describe(m_messages));
    }
  }
}

// A later file replaces what an earlier one gave for a number whatever the
// levels; within itself it resolves repetitions as any file does.
TEST_F(MessageFileReaderTest, LaterFileReplacesEarlierEntries) {
  for (const bool higherWins : {false, true}) {
    SCOPED_TRACE(higherWins ? "higher wins" : "lower wins");
    M_forgetMessageCatalogue();
    m_messages.clear();
    read("#define hi 9\n#define lo 3\n500 lo default\n501 hi default\n502 hi only default\n", higherWins);
    read("500 hi user\n501 lo user\n501 hi user again\n", higherWins);
    EXPECT_EQ((std::vector<std::string>{"500 [user] [] hi",
                                        higherWins ? "501 [user again] [] hi" : "501 [user] [] lo",
                                        "502 [only default] [] hi"}),
              describe(m_messages));
  }
}

} // namespace
