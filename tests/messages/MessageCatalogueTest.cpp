// The catalogue built from the message files of an installation: the default
// file, the user file that overrides it, the language that chooses the file
// and its encoding, the cache per value of option "standard" and the default
// entry.
#include "messages/MessageCatalogue.h"
#include "messages/MessageLevels.h"

#include "foundation/Exception.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::CurrentArguments;
using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

// "<text>|<second text>|<level>" of an entry.
std::string describe(const M_MessageEntry &entry) {
  return entry.text() + "|" + entry.secondText() + "|" + entry.levelName();
}

class MessageCatalogueTest : public testing::Test {
protected:
  explicit MessageCatalogueTest(const char *lang = "C") : m_lang("LANG", std::string(lang)) {}

  void SetUp() override { M_forgetMessageCatalogue(); }
  void TearDown() override { M_forgetMessageCatalogue(); }

  // Writes a file of the installation with exactly these bytes.
  std::string install(const std::string &name, const std::string &bytes) {
    return m_arguments.installation().writeFile(name, bytes);
  }
  const std::string &bin() const { return m_arguments.installation().path(); }

  // Makes an argument set of the words current, with no catalogue built.
  void setArguments(const std::vector<std::string> &words) {
    m_arguments.set(words);
    M_forgetMessageCatalogue();
  }

  // What a build of the catalogue writes to standard error.
  template <class Build> std::string stderrOf(Build build) {
    testing::internal::CaptureStderr();
    build();
    return testing::internal::GetCapturedStderr();
  }

  EnvironmentVariable m_lang;
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", std::string("1")};
  CurrentArguments m_arguments;
  ScratchDirectory m_other;
};

TEST_F(MessageCatalogueTest, DefaultFileGivesTheEntries) {
  install("lyr.msg", "#define warning 3 Findings\n"
                     "1540 warning Cannot open '%1s'.@@Check the file.\n"
                     "1599 info Included from here.\n");
  EXPECT_EQ("Cannot open '%1s'.|Check the file.|warning", describe(getMessageEntry(1540)));
  EXPECT_EQ(3, getMessageEntry(1540).levelNumber());
  EXPECT_EQ("Findings", getMessageEntry(1540).levelDescription());
  EXPECT_EQ("Included from here.||info", describe(getMessageEntry(1599)));
  EXPECT_EQ(99, getMessageEntry(1599).levelNumber());
  EXPECT_EQ("info", getMessageEntry(1599).levelDescription());
  EXPECT_EQ(1599, highestMessageNumber());

  const P_CountedPtr<M_MessageCatalogue> catalogue = messageCatalogue();
  EXPECT_EQ(bin() + "/lyr.msg", catalogue->defaultFilePath());
  EXPECT_EQ("", catalogue->userFilePath());
  EXPECT_FALSE(catalogue->userFileRead());
}

TEST_F(MessageCatalogueTest, NumberWithoutEntryGivesTheDefaultEntry) {
  install("lyr.msg", "1 warning one\n");
  const M_MessageEntry &entry = getMessageEntry(2);
  EXPECT_EQ("Unknown error||fatal", describe(entry));
  EXPECT_EQ(99, entry.levelNumber());
  EXPECT_EQ(&entry, &getMessageEntry(-7));
  EXPECT_EQ(&entry, &M_defaultMessageEntry());

  // A file may give "fatal" a number.
  M_forgetMessageCatalogue();
  install("lyr.msg", "#define fatal 7 Fatal errors\n");
  EXPECT_EQ(7, getMessageEntry(2).levelNumber());
  EXPECT_EQ("Fatal errors", getMessageEntry(2).levelDescription());
}

TEST_F(MessageCatalogueTest, MissingDefaultFileGivesAnEmptyCatalogueAndAWarning) {
  EXPECT_EQ("Warning - Can't open message file " + bin() + "/lyr.msg\n",
            stderrOf([] { messageCatalogue(); }));
  EXPECT_TRUE(messageCatalogue()->messages().empty());
  EXPECT_EQ(0, highestMessageNumber());
  EXPECT_EQ("Unknown error||fatal", describe(getMessageEntry(1540)));
}

TEST_F(MessageCatalogueTest, UserFileOverridesTheDefaultFile) {
  install("lyr.msg", "#define hi 9\n#define lo 3\n"
                     "10 lo default ten\n11 hi default eleven\n12 lo default twelve\n");
  const std::string userFile = "#define hi 9\n#define lo 3\n"
                               "10 hi user ten\n11 lo user eleven\n13 lo user thirteen\n";
  struct Case {
    const char *name;
    std::vector<std::string> words;
    std::string directory; // of the user file, which is also in the installation
  };
  const std::string other = m_other.makeDirectory("user");
  const Case cases[] = {
      {"installation", {"-usrfile", "x"}, bin()},
      {"usrpath", {"-usrpath", other, "-usrfile", "x"}, other},
      {"usrpath, standard on", {"-usrpath", other, "-usrfile", "x", "-standard+"}, other},
      {"short option names", {"-up", other, "-usr", "x"}, other},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    install("lyr.usr.x", c.directory == bin() ? userFile : "10 lo wrong file\n");
    if (c.directory != bin())
      m_other.writeFile("user/lyr.usr.x", userFile);
    setArguments(c.words);
    EXPECT_EQ("", stderrOf([] { messageCatalogue(); }));
    EXPECT_EQ("user ten||hi", describe(getMessageEntry(10)));
    EXPECT_EQ("user eleven||lo", describe(getMessageEntry(11)));
    EXPECT_EQ("default twelve||lo", describe(getMessageEntry(12)));
    EXPECT_EQ("user thirteen||lo", describe(getMessageEntry(13)));
    const P_CountedPtr<M_MessageCatalogue> catalogue = messageCatalogue();
    EXPECT_EQ(c.directory + "/lyr.usr.x", catalogue->userFilePath());
    EXPECT_TRUE(catalogue->userFileRead());
  }
}

// The user file is looked for in the directory of "usrpath" first, then in
// the installation.
TEST_F(MessageCatalogueTest, UserFileFallsBackToTheInstallation) {
  install("lyr.usr.x", "20 warning from the installation\n");
  const std::string other = m_other.makeDirectory("empty");
  setArguments({"-usrpath", other, "-usrfile", "x"});
  EXPECT_EQ("from the installation||warning", describe(getMessageEntry(20)));
  EXPECT_EQ(bin() + "/lyr.usr.x", messageCatalogue()->userFilePath());
}

TEST_F(MessageCatalogueTest, MissingUserFileWarnsAndKeepsTheDefaultCatalogue) {
  install("lyr.msg", "30 warning default\n");
  const std::string other = m_other.makeDirectory("empty");
  struct Case {
    const char *name;
    std::vector<std::string> words;
    std::string path;
  };
  const Case cases[] = {
      {"installation", {"-usrfile", "missing"}, bin() + "/lyr.usr.missing"},
      {"usrpath", {"-usrpath", other, "-usrfile", "missing"}, bin() + "/lyr.usr.missing"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    setArguments(c.words);
    EXPECT_EQ("Warning - Can't open user defined message file " + c.path + "\n",
              stderrOf([] { messageCatalogue(); }));
    EXPECT_EQ("default||warning", describe(getMessageEntry(30)));
    EXPECT_EQ(30, highestMessageNumber());
    EXPECT_EQ(c.path, messageCatalogue()->userFilePath());
    EXPECT_FALSE(messageCatalogue()->userFileRead());
  }
}

TEST_F(MessageCatalogueTest, UserFileThatIsADirectoryIsNotRead) {
  install("lyr.msg", "30 warning default\n");
  m_arguments.installation().makeDirectory("lyr.usr.dir");
  setArguments({"-usrfile", "dir"});
  EXPECT_EQ("Warning - Can't open user defined message file " + bin() + "/lyr.usr.dir\n",
            stderrOf([] { messageCatalogue(); }));
  EXPECT_FALSE(messageCatalogue()->userFileRead());
}

// A file that opens but cannot be read ends the lookup with an error rather
// than leaving a catalogue that lacks the rest of the file.
TEST_F(MessageCatalogueTest, ReadErrorIsReported) {
  std::filesystem::create_symlink("/proc/self/mem", bin() + "/lyr.msg");
  try {
    messageCatalogue();
    FAIL() << "no error";
  } catch (const U_UserException &error) {
    EXPECT_STREQ(("Cannot read file: '" + bin() + "/lyr.msg'.").c_str(), error.what());
  }
}

// A failure of the translation into the internal encoding passes to the
// caller; the cache stays empty, so a later lookup tries again.
TEST_F(MessageCatalogueTest, TranslationFailurePassesOn) {
  install("LYR.ini", "[Japanese]\nZUT_LANG=ja_JP.SJIS\n");
  install("lyr.jp.sj.msg", "70 warning " + BYTES("\x95\x5C") + "\n");
  setArguments({});
  {
    EnvironmentVariable unusable("LYRTEMPFILES", m_other / "missing");
    EXPECT_THROW(messageCatalogue(), U_UserException);
  }
  EXPECT_EQ("\xC9\xBD||warning", describe(getMessageEntry(70)));
}

// Option "standard" decides which of two lines for one number in one file
// stays; between the files the user file wins in both modes.
TEST_F(MessageCatalogueTest, StandardChoosesBetweenRepeatedNumbers) {
  install("lyr.msg", "#define nine 9\n#define three 3\n#define alsoNine 9\n"
                     "40 nine first\n40 three second\n"
                     "41 nine first\n41 alsoNine second\n"
                     "42 three default\n");
  install("lyr.usr.x", "42 nine user\n");
  struct Case {
    std::vector<std::string> words;
    std::string repeated;
  };
  const Case cases[] = {
      {{"-usrfile", "x"}, "second||three"},
      {{"-usrfile", "x", "-standard+"}, "first||nine"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.words));
    setArguments(c.words);
    EXPECT_EQ(c.repeated, describe(getMessageEntry(40)));
    EXPECT_EQ("first||nine", describe(getMessageEntry(41)));
    EXPECT_EQ("user||nine", describe(getMessageEntry(42)));
  }
}

// The catalogue is read once per mode: a lookup in the same mode reuses it,
// one in the other mode reads the files again. The level tables keep what
// earlier readings defined until a reset.
TEST_F(MessageCatalogueTest, CacheIsRebuiltOnlyForTheOtherMode) {
  install("lyr.msg", "#define old 3\n#levelname 3 Three\n50 old before\n");
  const P_CountedPtr<M_MessageCatalogue> first = messageCatalogue(false);
  EXPECT_EQ(2u, first.useCount());
  install("lyr.msg", "#define new 4\n50 new after\n");
  EXPECT_EQ(first, messageCatalogue(false));
  EXPECT_EQ("before||old", describe(getMessageEntry(50)));

  const P_CountedPtr<M_MessageCatalogue> second = messageCatalogue(true);
  EXPECT_NE(first, second);
  EXPECT_EQ("after||new", describe(second->entry(50)));
  // The earlier catalogue lives on while a handle holds it.
  EXPECT_EQ("before||old", describe(first->entry(50)));
  EXPECT_EQ(1u, first.useCount());
  EXPECT_EQ(3, levelNumber(internSimpleString("old")));
  EXPECT_EQ(4, levelNumber(internSimpleString("new")));

  // The lookup without a mode follows option "standard" (off).
  EXPECT_EQ("after||new", describe(getMessageEntry(50)));
  EXPECT_NE(second, messageCatalogue());

  resetMessageCatalogue(true);
  EXPECT_EQ(99, levelNumber(internSimpleString("old")));
  EXPECT_EQ(4, levelNumber(internSimpleString("new")));
  EXPECT_EQ("Three", levelDisplayName(3));
  EXPECT_EQ("after||new", describe(messageCatalogue(true)->entry(50)));
}

TEST_F(MessageCatalogueTest, CatalogueForAGivenUserFile) {
  install("lyr.msg", "#define lo 3\n60 lo default\n61 lo default\n");
  m_other.writeFile("lyr.usr.given", "#define lo 3\n60 lo given\n");
  const P_CountedPtr<M_MessageCatalogue> catalogue = buildMessageCatalogueFor("given", m_other.path(), false);
  EXPECT_EQ("given||lo", describe(catalogue->entry(60)));
  EXPECT_EQ("default||lo", describe(catalogue->entry(61)));
  EXPECT_EQ(m_other / "lyr.usr.given", catalogue->userFilePath());
  EXPECT_TRUE(catalogue->userFileRead());

  const P_CountedPtr<M_MessageCatalogue> without = buildMessageCatalogueFor("", m_other.path(), false);
  EXPECT_EQ("default||lo", describe(without->entry(60)));
  EXPECT_EQ("", without->userFilePath());

  EXPECT_EQ("Warning - Can't open user defined message file " + bin() + "/lyr.usr.none\n",
            stderrOf([this] { resetMessageCatalogueFor("none", m_other.path(), false); }));
  EXPECT_EQ("default||lo", describe(getMessageEntry(60)));
  resetMessageCatalogueFor("given", m_other.path(), false);
  EXPECT_EQ("given||lo", describe(getMessageEntry(60)));
}

// The example installation's message file gives every message that the
// system emits its own text at a defined level, without warnings.
TEST_F(MessageCatalogueTest, ExampleInstallationHasEveryMessageOfTheSystem) {
  install("lyr.msg", test_support::readFile(LYR_TEST_DATA_DIR "/../../examples/installation/lyr.msg"));
  EXPECT_EQ("", stderrOf([] { messageCatalogue(); }));
  std::vector<std::int32_t> numbers{1540};
  for (std::int32_t number = 1569; number <= 1599; ++number)
    numbers.push_back(number);
  // The name checker's default and the example rule file's numbers.
  for (std::int32_t number = 4800; number <= 4810; ++number)
    numbers.push_back(number);
  // The library and include checks.
  for (const std::int32_t number : {5013, 5087, 5119, 5120, 5122, 5123, 5124, 5127})
    numbers.push_back(number);
  for (const std::int32_t number : numbers) {
    SCOPED_TRACE(number);
    const M_MessageMap &messages = messageCatalogue()->messages();
    ASSERT_EQ(1u, messages.count(number));
    const M_MessageEntry &entry = messages.at(number);
    EXPECT_FALSE(entry.text().empty());
    EXPECT_FALSE(entry.secondText().empty());
    EXPECT_NE(99, entry.levelNumber());
    EXPECT_NE(entry.levelName(), entry.levelDescription());
    EXPECT_NE("", levelDisplayName(entry.level()));
  }
  EXPECT_EQ(numbers.size(), messageCatalogue()->messages().size());
  EXPECT_EQ("Included from here.", getMessageEntry(1599).text());
}

// The product's language, from the ini file or else LANG, chooses the
// message file and the encoding it is read in; the entries arrive in the
// internal encoding (EUC).
class MessageCatalogueLanguageTest : public MessageCatalogueTest {
protected:
  void read(const std::optional<std::string> &lang, const std::optional<std::string> &iniLanguage) {
    m_lang.set(lang);
    if (iniLanguage)
      install("LYR.ini", "[Japanese]\nZUT_LANG=" + *iniLanguage + "\n");
    setArguments({});
  }
};

// 表 (second Shift_JIS byte 0x5C), ソ (the same), 日 in each encoding.
const std::string sjisTable = BYTES("\x95\x5C"), sjisSo = BYTES("\x83\x5C"), sjisDay = BYTES("\x93\xFA");
const std::string eucTable = BYTES("\xC9\xBD"), eucSo = BYTES("\xA5\xBD"), eucDay = BYTES("\xC6\xFC");
const std::string utfTable = BYTES("\xE8\xA1\xA8"), utfSo = BYTES("\xE3\x82\xBD"),
                  utfDay = BYTES("\xE6\x97\xA5");

TEST_F(MessageCatalogueLanguageTest, ShiftJisFileIsTranslatedBeforeBackslashesCount) {
  // A text ending in 表 is not continued by its second byte; after ソ a real
  // backslash pair continues with @@, after 日 one backslash joins.
  install("lyr.jp.sj.msg", "#define \x93\xFA 2 " + sjisDay + sjisTable + "\r\n" + "100 \x93\xFA " +
                               sjisTable + "\r\n" + "101 \x93\xFA " + sjisSo + "\\\\\r\n" + sjisDay +
                               "\\\r\n" + sjisTable + "\r\n");
  install("lyr.msg", "100 warning wrong file\n");
  read("C", "ja_JP.SJIS");
  const M_LevelName day = internSimpleString(eucDay);
  EXPECT_EQ(eucTable + "||" + eucDay, describe(getMessageEntry(100)));
  EXPECT_EQ(eucSo + "|" + eucDay + eucTable + "|" + eucDay, describe(getMessageEntry(101)));
  EXPECT_EQ(2, levelNumber(day));
  EXPECT_EQ(eucDay + eucTable, levelDescription(day));
  EXPECT_EQ(101, highestMessageNumber());
}

TEST_F(MessageCatalogueLanguageTest, EucFileIsReadAsItIs) {
  install("lyr.jp.euc.msg", "100 warning " + eucTable + "\\\\\n" + eucSo + "\n");
  install("lyr.msg", "100 warning wrong file\n");
  read("ja_JP.eucJP", std::nullopt);
  EXPECT_EQ(eucTable + "|" + eucSo + "|warning", describe(getMessageEntry(100)));
  EXPECT_EQ(bin() + "/lyr.jp.euc.msg", messageCatalogue()->defaultFilePath());
}

TEST_F(MessageCatalogueLanguageTest, Utf8FileIsTranslatedToEuc) {
  install("lyr.ja_JP.msg", "100 warning " + utfTable + utfSo + "@@" + utfDay + "\n");
  install("lyr.ja.msg", "100 warning wrong file\n");
  read("ja_JP.UTF-8", std::nullopt);
  EXPECT_EQ(eucTable + eucSo + "|" + eucDay + "|warning", describe(getMessageEntry(100)));
  EXPECT_EQ(bin() + "/lyr.ja_JP.msg", messageCatalogue()->defaultFilePath());
}

// The ini file's language comes before LANG, for the default file and for
// the user file alike.
TEST_F(MessageCatalogueLanguageTest, IniFileComesBeforeLang) {
  install("lyr.jp.sj.msg", "100 warning " + sjisTable + "\n");
  install("lyr.jp.euc.msg", "100 warning wrong file\n");
  install("lyr.usr.jp.sj.x", "101 warning " + sjisSo + "\n");
  install("lyr.usr.x", "101 warning wrong file\n");
  read("ja_JP.eucJP", "ja_JP.SJIS");
  setArguments({"-usrfile", "x"});
  EXPECT_EQ(eucTable + "||warning", describe(getMessageEntry(100)));
  EXPECT_EQ(eucSo + "||warning", describe(getMessageEntry(101)));
  EXPECT_EQ(bin() + "/lyr.usr.jp.sj.x", messageCatalogue()->userFilePath());
}

// Without a file of the language the plain name is read, in the language's
// encoding.
TEST_F(MessageCatalogueLanguageTest, PlainFileWithoutALanguageVariant) {
  install("lyr.msg", "100 warning " + eucDay + "\n");
  read("ja_JP.eucJP", std::nullopt);
  EXPECT_EQ(eucDay + "||warning", describe(getMessageEntry(100)));
  EXPECT_EQ(bin() + "/lyr.msg", messageCatalogue()->defaultFilePath());
}

} // namespace
