#include "cmdline/LineBuffer.h"

#include "platform/TextFile.h"
#include "support/Bytes.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::withCrLf;

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

class LineBufferTest : public testing::Test {
protected:
  // Every word of a file with these bytes, read as a text file.
  std::vector<std::string> wordsOf(const std::string &bytes, bool expand) {
    const std::string path = m_scratch.writeFile("words.txt", bytes);
    std::FILE *file = platform::openTextFile(path, "r");
    EXPECT_NE(nullptr, file);
    std::vector<std::string> words;
    if (!file)
      return words;
    C_LineBuffer buffer;
    while (std::optional<std::string> word = buffer.readWord(file, expand))
      words.push_back(*word);
    // The end stays the end.
    EXPECT_FALSE(buffer.readWord(file, expand).has_value());
    std::fclose(file);
    return words;
  }

  ScratchDirectory m_scratch;
  EnvironmentVariable m_word{"LYR_WORD_TEST", "val"};
  EnvironmentVariable m_blanks{"LYR_WORD_BLANKS", "p q"};
  EnvironmentVariable m_unset{"LYR_WORD_UNSET", std::nullopt};
};

TEST_F(LineBufferTest, Words) {
  struct Case {
    std::string bytes;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"", {}},
      {" \t\n\n", {}},
      {"-a b\n  c\td\n", {"-a", "b", "c", "d"}},
      {"last-line-without-newline", {"last-line-without-newline"}},
      // Comments: only a "*" at the very start of a line.
      {"* -x y\n-a\n  * not\nx*y *z\n", {"-a", "*", "not", "x*y", "*z"}},
      {"*only comments\n*\n", {}},
      // Quotes anywhere in a word, mixed, white space kept inside.
      {"-i'a b'\"c\"\n", {"-ia bc"}},
      {"'it\"s' \"don't\"\n", {"it\"s", "don't"}},
      {"\"-op\" \"my dir\"\n", {"-op", "my dir"}},
      // A quote still open at the end of a line ends there; the word goes on.
      {"'abc\ndef ghi\n", {"abcdef", "ghi"}},
      // ... and at the end of a file without a newline.
      {"x 'abc", {"x", "abc"}},
      {"x \"", {"x", ""}},
      // Empty quotes are an empty word, which does not end the file.
      {"a \"\" b ''\nc\n", {"a", "", "b", "", "c"}},
      // A backslash is an ordinary character, except before the line end.
      {"a\\b c\\d\\\ne\n", {"a\\b", "c\\de"}},
      {"-a \\\n-b\n", {"-a", "-b"}},
      // A backslash as the last byte of the file is dropped like one before a
      // line end.
      {"-a b\\", {"-a", "b"}},
      {"-a\n\\", {"-a"}},
      // A NUL byte drops the rest of its line, but the line end still ends
      // the word.
      {BYTES("-echo be\0fore\n-op o\0ut"), {"-echo", "be", "-op", "o"}},
      {BYTES("a\0 b\nc\n"), {"a", "c"}},
      {BYTES("\0x\ny\n"), {"y"}},
      {BYTES("'a\0'\nb c\n"), {"ab", "c"}}, // the quote ends at the line end
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.words, wordsOf(c.bytes, true)) << c.bytes;
    EXPECT_EQ(c.words, wordsOf(withCrLf(c.bytes), true)) << "CR LF: " << c.bytes;
  }
}

TEST_F(LineBufferTest, Variables) {
  struct Case {
    std::string bytes;
    std::vector<std::string> expanded;
    std::vector<std::string> unexpanded;
  };
  const Case cases[] = {
      {"-i $LYR_WORD_TEST/inc\n", {"-i", "val/inc"}, {"-i", "$LYR_WORD_TEST/inc"}},
      {"${LYR_WORD_TEST}x $$HOME\n", {"valx", "$HOME"}, {"${LYR_WORD_TEST}x", "$$HOME"}},
      {"a$LYR_WORD_UNSET.b\n", {"a.b"}, {"a$LYR_WORD_UNSET.b"}},
      // Variables are replaced before the line is split into words, in
      // quotes as well.
      {"$LYR_WORD_BLANKS '$LYR_WORD_BLANKS'\n", {"p", "q", "p q"}, {"$LYR_WORD_BLANKS", "$LYR_WORD_BLANKS"}},
      // A line that expands to nothing gives no word.
      {"$LYR_WORD_UNSET\nz\n", {"z"}, {"$LYR_WORD_UNSET", "z"}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.expanded, wordsOf(c.bytes, true)) << c.bytes;
    EXPECT_EQ(c.unexpanded, wordsOf(c.bytes, false)) << c.bytes;
    EXPECT_EQ(c.expanded, wordsOf(withCrLf(c.bytes), true)) << "CR LF: " << c.bytes;
  }
}

TEST_F(LineBufferTest, LongLinesAreReadInPieces) {
  const std::string longWord(1500, 'b');
  // The first piece holds 1023 characters; the second begins with "*" and is
  // skipped like a comment line.
  const std::string skipped = std::string(1022, 'a') + " *skip this\nnext\n";
  struct Case {
    std::string bytes;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {longWord + " c\n", {longWord, "c"}},
      {"'" + longWord + "' c\n", {longWord, "c"}},
      {skipped, {std::string(1022, 'a'), "next"}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.words, wordsOf(c.bytes, true));
    EXPECT_EQ(c.words, wordsOf(withCrLf(c.bytes), true)) << "CR LF";
  }
}

TEST_F(LineBufferTest, ExpansionDoesNotOverrunTheLine) {
  // Each variable gives 1000 characters: the expanded line is cut to what
  // the line buffer holds, its line end kept.
  const EnvironmentVariable big("LYR_WORD_BIG", std::string(1000, 'v'));
  const std::vector<std::string> words =
      wordsOf("$LYR_WORD_BIG$LYR_WORD_BIG$LYR_WORD_BIG tail\nnext\n", true);
  ASSERT_EQ(2u, words.size());
  EXPECT_EQ(std::string(ConfigLineSize - 2, 'v'), words[0]);
  EXPECT_EQ("next", words[1]);
}

TEST_F(LineBufferTest, BadlyFormedVariableDropsTheRestOfItsLine) {
  // The line's words end with the line; the next line gives words of its own.
  struct Case {
    std::string bytes;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {"-op x${LYR_WORD_TEST\nfoo\n", {"-op", "x", "foo"}},
      {"ab${LYR_WORD_TEST}c d${LYR_WORD_TEST e\nf\n", {"abvalc", "d", "f"}},
      {"${LYR_WORD_TEST\nnext\n", {"next"}},
  };
  for (const Case &c : cases) {
    for (const std::string &bytes : {c.bytes, withCrLf(c.bytes)}) {
      testing::internal::CaptureStdout();
      const std::vector<std::string> words = wordsOf(bytes, true);
      const std::string printed = testing::internal::GetCapturedStdout();
      EXPECT_EQ(c.words, words) << bytes;
      EXPECT_NE(std::string::npos, printed.find("\nERROR: Badly formed variable substitution:\n\t")) << bytes;
    }
  }
}

TEST(WordSpaceTest, OnlyAsciiWhiteSpace) {
  for (int c = 0; c < 256; ++c) {
    const bool expected = c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    EXPECT_EQ(expected, isWordSpace(c)) << c;
  }
}

} // namespace
