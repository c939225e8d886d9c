#include "cmdline/ListOptionKinds.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/Options.h"
#include "cmdline/WordStreamBuffer.h"
#include "foundation/Exception.h"

#include "support/ScratchDirectory.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <istream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using test_support::CurrentDirectory;
using test_support::ScratchDirectory;

void useInOwnWord(C_OptionBase &option, const std::string &rest) {
  std::istringstream in(rest);
  option.set(in, true);
}

// The word stream of a parse, as far as a settings-file option sees it: the
// remaining words, and the files pushed onto it.
class RecordingWordBuffer : public C_WordStreamBuffer {
public:
  explicit RecordingWordBuffer(std::string words) : m_words(std::move(words)) {
    setg(m_words.data(), m_words.data(), m_words.data() + m_words.size());
  }
  void pushFile(const std::string &path) override { pushed.push_back(path); }
  std::string rest() const { return std::string(gptr(), egptr()); }

  std::vector<std::string> pushed;

private:
  std::string m_words;
};

TEST(ListOptionKindsTest, StringListKeepsOneValuePerUse) {
  C_OptionStringList debug("debug");
  EXPECT_EQ("", debug.valueText());
  EXPECT_EQ(nullptr, debug.cStrings()[0]);
  std::istringstream words("log\n=always-first\nshow-format,log\n-x\n");
  debug.set(words, false);
  debug.set(words, false);
  debug.set(words, false);
  useInOwnWord(debug, "=log-file=a b.txt");
  const std::vector<std::string> expected{"log", "always-first", "show-format,log", "log-file=a b.txt"};
  EXPECT_EQ(expected, debug.values());
  EXPECT_EQ(expected, std::vector<std::string>(debug.begin(), debug.end()));
  EXPECT_EQ("log, always-first, show-format,log, log-file=a b.txt, ", debug.valueText());
  std::string next;
  std::getline(words, next);
  EXPECT_EQ("-x", next);

  const char *const *array = debug.cStrings();
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_STREQ(expected[i].c_str(), array[i]);
  EXPECT_EQ(nullptr, array[expected.size()]);

  // A change discards the array; the next one holds the new values.
  debug.add("hideSupRecs");
  EXPECT_STREQ("hideSupRecs", debug.cStrings()[4]);
  EXPECT_EQ(nullptr, debug.cStrings()[5]);

  const C_OptionStringList copy(debug);
  debug.forget();
  EXPECT_TRUE(debug.values().empty());
  EXPECT_EQ(nullptr, debug.cStrings()[0]);
  EXPECT_FALSE(debug.isSet());
  ASSERT_EQ(5u, copy.values().size());
  EXPECT_TRUE(copy.isSet());
  EXPECT_STREQ("log", copy.cStrings()[0]);

  std::istringstream none("");
  EXPECT_THROW(debug.set(none, false), C_ValueExpectedException);
}

TEST(ListOptionKindsTest, IntegerList) {
  struct Case {
    std::vector<const char *> uses;
    std::vector<std::int32_t> numbers;
    const char *text;
  };
  const Case cases[] = {
      {{}, {}, ""},
      {{"5-1"}, {1, 2, 3, 4, 5}, "1-5"},
      {{"7,8"}, {7, 8}, "7-8"},
      {{"4", "4"}, {4, 4}, "4 4"},
      {{"1-3", "5", "7,8"}, {1, 2, 3, 5, 7, 8}, "1-3 5 7-8"},
      {{"3,1,2"}, {3, 1, 2}, "3 1-2"},
      {{"1,2,3,5", "4"}, {1, 2, 3, 5, 4}, "1-3 5 4"},
      {{"x"}, {0}, "0"},
      {{"=12"}, {12}, "12"},
      {{"9,8,7"}, {9, 8, 7}, "9 8 7"},
      {{"2147483647,0"}, {2147483647, 0}, "2147483647 0"},
      {{"2147483646-2147483647"}, {2147483646, 2147483647}, "2147483646-2147483647"},
  };
  for (const Case &c : cases) {
    C_OptionIntList only("only");
    for (const char *use : c.uses)
      useInOwnWord(only, use);
    const std::string label = testing::PrintToString(c.uses);
    EXPECT_EQ(c.numbers, std::vector<std::int32_t>(only.begin(), only.end())) << label;
    EXPECT_EQ(c.text, only.valueText()) << label;
  }

  C_OptionIntList nomsg("nomsg");
  std::istringstream words("12\na.c\n");
  nomsg.set(words, false);
  EXPECT_EQ(std::vector<std::int32_t>{12}, nomsg.values());
  const C_OptionIntList copy(nomsg);
  nomsg.forget();
  EXPECT_TRUE(nomsg.values().empty());
  EXPECT_EQ(std::vector<std::int32_t>{12}, copy.values());
}

class FilenameListTest : public testing::Test {
protected:
  ScratchDirectory scratch;
};

TEST_F(FilenameListTest, HoldsIdentitiesShownAsTheOptionsSay) {
  scratch.makeDirectory("inc/sub");
  const CurrentDirectory here(scratch.path());
  C_CmdArgs args("lyr", 0, nullptr);
  C_OptionFilenameList &include = args.options()->i();
  std::istringstream words("inc\\sub\na.c\n");
  include.set(words, false);
  useInOwnWord(include, "=" + scratch.path() + "/inc");
  ASSERT_EQ(2u, include.values().size());
  EXPECT_EQ("inc/sub", include.values()[0].given().str());
  EXPECT_EQ(scratch.path() + "/inc/sub", include.values()[0].canonical().str());
  EXPECT_EQ(scratch.path() + "/inc", include.values()[1].canonical().str());
  EXPECT_STREQ((scratch.path() + "/inc/sub").c_str(), include.cStrings()[0]);
  EXPECT_EQ(nullptr, include.cStrings()[2]);

  const std::string canonical = scratch.path() + "/inc/sub, " + scratch.path() + "/inc, ";
  const std::string given = "inc/sub, " + scratch.path() + "/inc, ";
  C_CmdArgs current("lyr", 0, nullptr);
  C_setCurrentCmdArgs(current);
  EXPECT_EQ(canonical, include.valueText());
  EXPECT_EQ(canonical, include.valueTextFor(args));
  useInOwnWord(args.options()->expandFilenames(), "-");
  EXPECT_EQ(canonical, include.valueText()); // the current set still expands
  EXPECT_EQ(given, include.valueTextFor(args));
  useInOwnWord(C_optExpandFilenames(), "-");
  EXPECT_EQ(given, include.valueText());

  include.forget();
  EXPECT_TRUE(include.values().empty());
  EXPECT_EQ("", include.valueText());
  EXPECT_EQ(nullptr, include.cStrings()[0]);
}

class SettingsFileTest : public testing::Test {
protected:
  ScratchDirectory scratch;
};

TEST_F(SettingsFileTest, PushesReadableFilesOntoTheWordStream) {
  scratch.writeFile("s.txt", "-nomsg 12\n");
  scratch.makeDirectory("d");
  const CurrentDirectory here(scratch.path());
  struct Case {
    const char *option;
    bool ownWord; // the name follows the option in its own word
    std::string name;
    std::optional<std::string> pushed; // nullopt: refused
  };
  const Case cases[] = {
      {"via", false, "s.txt", "s.txt"},
      {"list", false, "s.txt", "s.txt"},
      {"via", true, "s.txt", "s.txt"},
      {"list", true, "s.txt", "s.txt"},
      {"via", false, ".\\s.txt", "./s.txt"},
      {"via", false, scratch.path() + "/s.txt", scratch.path() + "/s.txt"},
      {"via", false, "missing.txt", std::nullopt},
      {"via", true, "sub\\missing.txt", std::nullopt},
      {"list", false, "d", std::nullopt},
  };
  for (const Case &c : cases) {
    C_OptionVia option(c.option);
    RecordingWordBuffer buffer(c.ownWord ? "a.c\n" : c.name + "\na.c\n");
    std::istream words(&buffer);
    const std::string label = std::string(c.option) + " " + c.name;
    std::optional<std::string> error;
    try {
      if (c.ownWord)
        option.pushFile(c.name, words); // how the parser hands over a name in the option's own word
      else
        option.set(words, false);
    } catch (const C_InvalidArgValueException &e) {
      error = e.what();
    }
    EXPECT_EQ(std::vector<std::string>{c.name}, option.values()) << label; // recorded as typed
    EXPECT_EQ("a.c\n", buffer.rest()) << label;
    if (c.pushed) {
      EXPECT_EQ(std::nullopt, error) << label;
      EXPECT_EQ(std::vector<std::string>{*c.pushed}, buffer.pushed) << label;
    } else {
      std::string slashed = c.name;
      for (char &ch : slashed)
        if (ch == '\\')
          ch = '/';
      EXPECT_EQ("\nERROR: Unable to open " + slashed + "\n\n", error) << label;
      EXPECT_TRUE(buffer.pushed.empty()) << label;
    }
    EXPECT_EQ("", option.valueText()) << label;
  }
}

TEST_F(SettingsFileTest, NamesCollectAndAreForgotten) {
  scratch.writeFile("a.txt");
  scratch.writeFile("b.txt");
  const CurrentDirectory here(scratch.path());
  C_OptionVia via("via");
  RecordingWordBuffer buffer("a.txt\nb.txt\n");
  std::istream words(&buffer);
  via.set(words, false);
  via.set(words, false);
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), via.values());
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), buffer.pushed);
  EXPECT_THROW(via.set(words, false), C_ValueExpectedException);
  via.forget();
  EXPECT_TRUE(via.values().empty());
  EXPECT_FALSE(via.isSet());

  // Only a word stream can take a settings file.
  std::istringstream plain("a.txt\n");
  EXPECT_THROW(via.set(plain, false), U_AssertException);
}

} // namespace
