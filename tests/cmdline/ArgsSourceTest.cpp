#include "cmdline/ArgsSource.h"

#include "foundation/Language.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

std::vector<std::string> drain(C_ArgsSource &source, bool expand = true) {
  std::vector<std::string> words;
  while (std::optional<std::string> word = source.nextWord(expand))
    words.push_back(*word);
  EXPECT_FALSE(source.nextWord(expand).has_value());
  return words;
}

std::vector<std::string> drain(C_ArgsSourceStack &stack) {
  std::vector<std::string> words;
  std::string word;
  while (stack.nextWord(word))
    words.push_back(word);
  EXPECT_FALSE(stack.nextWord(word));
  EXPECT_EQ(0u, stack.size());
  return words;
}

class ArgsSourceTest : public testing::Test {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override { QL_resetLanguageCaches(); }

  U_RefPtr<C_ArgsSource> argv(const std::vector<std::string> &words) {
    return new C_ArgvSource(m_lyr, words);
  }
  U_RefPtr<C_ArgsSource> file(const std::string &path, QL_EncodingKind kind = eceNone) {
    return new C_FileSource(m_lyr, path, kind, m_scratch.path());
  }

  ScratchDirectory m_scratch;
  EnvironmentVariable m_lang{"LANG", "C"};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", "1"};
  EnvironmentVariable m_variable{"LYR_SOURCE_TEST", "v"};
  const C_Product m_lyr{"lyr"};
};

TEST_F(ArgsSourceTest, CommandLineWordsAreHandedOutUnchanged) {
  const std::vector<std::string> words = {"-i", "$LYR_SOURCE_TEST/'x y'", "", "* a.c", ""};
  C_ArgvSource source(m_lyr, words);
  EXPECT_EQ(words, drain(source));
  C_ArgvSource none(m_lyr, {});
  EXPECT_TRUE(drain(none).empty());
}

TEST_F(ArgsSourceTest, FileSource) {
  const std::string words = m_scratch.writeFile("words.txt", "-op $LYR_SOURCE_TEST\n\"\" a.c\n");
  const std::string directory = m_scratch.makeDirectory("dir");
  struct Case {
    std::string path;
    bool expand;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {words, true, {"-op", "v", "", "a.c"}},
      {words, false, {"-op", "$LYR_SOURCE_TEST", "", "a.c"}},
      {m_scratch / "missing.txt", true, {}},
      {directory, true, {}},
      {"", true, {}},
  };
  for (const Case &c : cases) {
    C_FileSource source(m_lyr, c.path, eceNone, m_scratch.path());
    EXPECT_EQ(c.words, drain(source, c.expand)) << c.path;
  }
}

TEST_F(ArgsSourceTest, SharedFileIsReadOnAndClosedWithTheSource) {
  const std::string path = m_scratch.writeFile("lyr.cfg", "#options\n-a b\n");
  QL_FileTranslatorPtr translator(new QL_FileTranslator(eceNone, m_scratch.path()));
  ASSERT_NE(nullptr, translator->open(path, false));
  char line[32];
  ASSERT_NE(nullptr, std::fgets(line, sizeof line, translator->file()));
  {
    C_FileSource source(m_lyr, translator);
    EXPECT_EQ(2u, translator.count());
    EXPECT_EQ((std::vector<std::string>{"-a", "b"}), drain(source));
  }
  EXPECT_EQ(1u, translator.count());
  EXPECT_EQ(nullptr, translator->file());
  // A closed shared file gives no words.
  C_FileSource closed(m_lyr, translator);
  EXPECT_TRUE(drain(closed).empty());
}

TEST_F(ArgsSourceTest, WordsOfAFileComeBackInItsEncoding) {
  m_lang.set("ja_JP.SJIS");
  // Shift_JIS text; 0x95 0x5C is one character whose second byte is a
  // backslash. The file is read through a translated copy.
  const std::string path = m_scratch.writeFile("sjis.txt", "\x83\x65\x83\x58\x83\x67 -op \x95\x5C\\out\r\n");
  {
    C_FileSource source(m_lyr, path, eceSJIS, m_scratch.path());
    EXPECT_EQ((std::vector<std::string>{"\x83\x65\x83\x58\x83\x67", "-op", "\x95\x5C\\out"}), drain(source));
  }
  // The translated copy went with the source.
  std::vector<std::string> left;
  for (const auto &entry : std::filesystem::directory_iterator(m_scratch.path()))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(std::vector<std::string>{"sjis.txt"}, left);
}

TEST_F(ArgsSourceTest, StackReadsTheLastPushedSourceFirst) {
  const std::string words = m_scratch.writeFile("words.txt", "f1 f2\n");
  C_ArgsSourceStack stack(true);
  EXPECT_TRUE(stack.expandVariables());
  stack.push(argv({"a1", "", "a2"}));
  stack.push(file(m_scratch / "missing.txt"));
  stack.push(file(words));
  stack.push(argv({}));
  EXPECT_EQ((std::vector<std::string>{"f1", "f2", "a1", "", "a2"}), drain(stack));

  C_ArgsSourceStack empty(false);
  std::string word = "unchanged";
  EXPECT_FALSE(empty.nextWord(word));
  EXPECT_EQ("unchanged", word);
}

TEST_F(ArgsSourceTest, StackPassesItsExpandFlag) {
  const std::string words = m_scratch.writeFile("words.txt", "$LYR_SOURCE_TEST\n");
  for (const bool expand : {true, false}) {
    C_ArgsSourceStack stack(expand);
    stack.push(file(words));
    EXPECT_EQ(std::vector<std::string>{expand ? "v" : "$LYR_SOURCE_TEST"}, drain(stack));
  }
}

TEST_F(ArgsSourceTest, ExhaustedSourcesAreReleased) {
  U_RefPtr<C_ArgsSource> first = argv({"x"});
  U_RefPtr<C_ArgsSource> second = argv({"y"});
  C_ArgsSourceStack stack(true);
  stack.push(first);
  stack.push(second);
  EXPECT_EQ(2u, second->referenceCount());
  std::string word;
  ASSERT_TRUE(stack.nextWord(word));
  EXPECT_EQ("y", word);
  ASSERT_TRUE(stack.nextWord(word));
  EXPECT_EQ("x", word);
  EXPECT_EQ(1u, second->referenceCount());
  EXPECT_EQ(2u, first->referenceCount());
  EXPECT_EQ(1u, stack.size());
}

} // namespace
