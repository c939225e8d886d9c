#include "cmdline/CmdArgStreamBuffer.h"

#include "cmdline/ConfigurationException.h"
#include "support/ScratchDirectory.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::lines;
using test_support::ScratchDirectory;

// Command-line words that count how many were taken.
class CountingSource : public C_ArgsSource {
public:
  CountingSource(const C_Product &product, std::vector<std::string> words)
      : C_ArgsSource(product), m_words(std::move(words)) {}
  std::optional<std::string> nextWord(bool) override {
    if (m_taken >= m_words.size())
      return std::nullopt;
    return m_words[m_taken++];
  }
  std::size_t taken() const { return m_taken; }

private:
  std::vector<std::string> m_words;
  std::size_t m_taken = 0;
};

class CmdArgStreamBufferTest : public testing::Test {
protected:
  ScratchDirectory m_scratch;
  const C_Product m_lyr{"lyr"};
  C_ArgsSourceStack m_stack{true};
};

TEST_F(CmdArgStreamBufferTest, EachWordIsOneLine) {
  const std::vector<std::string> words = {"-a", "", "exactly", "a-word-longer-than-the-get-area", "x y", "-"};
  m_stack.push(new C_ArgvSource(m_lyr, words));
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  std::istream in(&buffer);
  EXPECT_EQ(words, lines(in));
  EXPECT_TRUE(in.eof());
}

TEST_F(CmdArgStreamBufferTest, NoStackNoCharacters) {
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  std::istream in(&buffer);
  EXPECT_TRUE(lines(in).empty());
  EXPECT_EQ(std::char_traits<char>::eof(), buffer.sgetc());
}

TEST_F(CmdArgStreamBufferTest, CharactersCanBePutBackAcrossRefills) {
  m_stack.push(new C_ArgvSource(m_lyr, {"abcdefghij", "k"}));
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  std::string read;
  for (int i = 0; i < 8; ++i)
    read += static_cast<char>(buffer.sbumpc());
  EXPECT_EQ("abcdefgh", read);
  // The refill for "gh" kept four characters for putting back.
  for (const char expected : {'h', 'g', 'f', 'e'}) {
    ASSERT_EQ(expected, buffer.sungetc());
  }
  EXPECT_EQ("efghij\nk\n", std::string(std::istreambuf_iterator<char>(&buffer), {}));
  // After the end the last characters can still be put back.
  EXPECT_EQ('\n', buffer.sungetc());
  EXPECT_EQ('k', buffer.sungetc());
}

TEST_F(CmdArgStreamBufferTest, WordsAreTakenOnlyWhenNeeded) {
  U_RefPtr<CountingSource> source(new CountingSource(m_lyr, {"-a-long-option-word", "-b", "c"}));
  m_stack.push(source);
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  std::istream in(&buffer);
  EXPECT_EQ(0u, source->taken());
  std::string line;
  for (std::size_t taken = 1; taken <= 3; ++taken) {
    ASSERT_TRUE(std::getline(in, line, '\n'));
    EXPECT_EQ(taken, source->taken()) << line;
  }
  EXPECT_FALSE(std::getline(in, line, '\n'));
}

TEST_F(CmdArgStreamBufferTest, PushedFileComesBeforeTheRestOfItsSource) {
  const std::string settings = m_scratch.writeFile("s.txt", "-nomsg 12\n");
  m_stack.push(new C_ArgvSource(m_lyr, {"-via", settings, "a.c"}));
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  std::istream in(&buffer);
  std::string line;
  ASSERT_TRUE(std::getline(in, line, '\n'));
  ASSERT_TRUE(std::getline(in, line, '\n'));
  EXPECT_EQ(settings, line);
  buffer.pushFile(line);
  EXPECT_EQ((std::vector<std::string>{"-nomsg", "12", "a.c"}), lines(in));
}

TEST_F(CmdArgStreamBufferTest, NestingIsBounded) {
  std::vector<std::string> files;
  for (std::size_t i = 0; i < C_CmdArgStreamBuffer::MaxNestedFiles + 2; ++i)
    files.push_back(m_scratch.writeFile(std::string("s").append(std::to_string(i)).append(".txt"), "x\n"));
  m_stack.push(new C_ArgvSource(m_lyr, {"end"}));
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  for (std::size_t i = 0; i < C_CmdArgStreamBuffer::MaxNestedFiles; ++i)
    buffer.pushFile(files[i]);
  const std::string &tooDeep = files[C_CmdArgStreamBuffer::MaxNestedFiles];
  try {
    buffer.pushFile(tooDeep);
    FAIL() << "no exception";
  } catch (const C_InvalidArgValueException &e) {
    EXPECT_EQ("\nERROR: Settings files nested too deeply, not read: " + tooDeep + "\n\n", e.what());
    EXPECT_EQ(10, e.exitCode());
  }
  // Once the first file is exhausted there is room for one more.
  std::istream in(&buffer);
  std::string line;
  ASSERT_TRUE(std::getline(in, line, '\n'));
  EXPECT_THROW(buffer.pushFile(files.back()), C_ViaNestingException);
  ASSERT_TRUE(std::getline(in, line, '\n'));
  buffer.pushFile(files.back());
  std::vector<std::string> rest(C_CmdArgStreamBuffer::MaxNestedFiles - 1, "x");
  rest.push_back("end");
  EXPECT_EQ(rest, lines(in));
}

TEST_F(CmdArgStreamBufferTest, FileBeingReadIsRefusedOnce) {
  const std::string settings = m_scratch.writeFile("s.txt", "x\n");
  m_stack.push(new C_ArgvSource(m_lyr, {"end"}));
  C_CmdArgStreamBuffer buffer(m_lyr, eceNone, m_scratch.path(), m_stack);
  buffer.pushFile(settings);
  EXPECT_THROW(buffer.pushFile(settings), C_ViaNestingException);
  // Refused again, under any spelling, without a second report.
  EXPECT_NO_THROW(buffer.pushFile(settings));
  EXPECT_NO_THROW(buffer.pushFile(m_scratch.path() + "/./s.txt"));
  std::istream in(&buffer);
  EXPECT_EQ((std::vector<std::string>{"x", "end"}), lines(in));
  // Read to its end, the file may be named again.
  m_stack.push(new C_ArgvSource(m_lyr, {"again"}));
  buffer.pushFile(settings);
  in.clear();
  EXPECT_EQ((std::vector<std::string>{"x", "again"}), lines(in));
}

} // namespace
