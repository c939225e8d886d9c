#include "cmdline/ConfigFile.h"

#include "cmdline/Product.h"
#include "foundation/Language.h"
#include "platform/TextFile.h"
#include "support/Bytes.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::withCrLf;

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

// The slot index places after the named section's row.
const ConfigSectionTable &slotOf(const ConfigSectionTable *table, const char *section, int index = 0) {
  for (const ConfigSectionTable *row = table; row->kind != crkEnd; ++row)
    if ((row->kind == crkSection || row->kind == crkOptions) && std::strcmp(row->name, section) == 0)
      return row[1 + index];
  ADD_FAILURE() << "no section " << section;
  return *table;
}

// Each test reads with LYR as the current product, whose language selects no
// conversion unless the test says otherwise.
class ConfigFileTest : public testing::Test {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override { QL_resetLanguageCaches(); }

  // The logical lines of a file, read with a buffer of the given size.
  std::vector<std::string> readLines(const std::string &bytes, std::size_t size = ConfigLineSize) {
    const std::string path = m_scratch.writeFile("lines.txt", bytes);
    std::FILE *file = platform::openTextFile(path, "r");
    EXPECT_NE(nullptr, file);
    std::vector<std::string> lines;
    std::vector<char> buffer(size);
    while (file && readConfigLine(buffer.data(), size, file))
      lines.push_back(buffer.data());
    if (file)
      std::fclose(file);
    return lines;
  }

  // Reads bin/<word>.cfg with the given text; gives what it printed on
  // standard output and the lines left after the "options" line.
  struct ReadResult {
    std::string out;
    std::string err;
    bool opened;
    std::vector<std::string> rest;
  };
  ReadResult readConfig(const std::string &bytes, const char *word = "lyr",
                        const ConfigSectionTable *table = lyrConfigSections, QL_EncodingKind kind = eceNone) {
    m_scratch.writeFile(std::string("bin/") + word + ".cfg", bytes);
    return readConfigIn(m_bin.c_str(), word, table, kind);
  }
  ReadResult readConfigIn(const char *binDir, const char *word, const ConfigSectionTable *table,
                          QL_EncodingKind kind = eceNone) {
    ReadResult result;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
      QL_FileTranslatorPtr file = readProductConfigFile(kind, m_scratch.path(), binDir, word, table, true);
      result.opened = file.isSet();
      char line[ConfigLineSize];
      while (file.isSet() && readConfigLine(line, sizeof line, file->file()))
        result.rest.push_back(line);
    }
    result.out = testing::internal::GetCapturedStdout();
    result.err = testing::internal::GetCapturedStderr();
    return result;
  }

  ScratchDirectory m_scratch;
  const std::string m_bin = m_scratch.makeDirectory("bin");
  EnvironmentVariable m_binVariable{"LYRBIN", m_bin};
  EnvironmentVariable m_lang{"LANG", "C"};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", "1"};
  EnvironmentVariable m_home{"HOME", "C:\\u"};
  EnvironmentVariable m_value{"LYR_CFG_TEST", "value"};
  EnvironmentVariable m_empty{"LYR_CFG_EMPTY", ""};
  EnvironmentVariable m_unset{"LYR_CFG_UNSET", std::nullopt};
  const C_Product m_lyr{"lyr"};
};

TEST_F(ConfigFileTest, LogicalLines) {
  struct Case {
    const char *label;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"plain lines", "a\nb\n", {"a\n", "b\n"}},
      {"continuation", "a\\\nb\n", {"ab\n"}},
      {"two continuations", "a\\\nb\\\nc\nd\n", {"abc\n", "d\n"}},
      {"a line of only a backslash", "\\\nx\n", {"x\n"}},
      {"backslash inside a line", "a\\b\n", {"a\\b\n"}},
      {"continuation at the end of the file", "a\\\n", {"a"}},
      {"last line without newline", "a\nlast", {"a\n", "last"}},
      {"empty lines", "\n\n", {"\n", "\n"}},
      {"empty file", "", {}},
      {"backslash as the last byte of the file", "a\nb\\", {"a\n", "b"}},
      {"only a backslash after the last line", "a\n\\", {"a\n", ""}},
      {"continuation, then a backslash at the end", "a\\\nb\\", {"ab"}},
      {"NUL drops the rest of its line but not its end", BYTES("be\0fore\nnext\n"), {"be\n", "next\n"}},
      {"NUL at the start of a line", BYTES("\0x\ny\n"), {"\n", "y\n"}},
      {"NUL before a backslash", BYTES("a\0\\\nb\n"), {"a\n", "b\n"}},
      {"NUL in a joined line", BYTES("a\\\nb\0c\nd\n"), {"ab\n", "d\n"}},
      {"NUL in the last line", BYTES("a\nb\0c"), {"a\n", "b"}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.lines, readLines(c.bytes)) << c.label;
    // CR LF line ends read as LF.
    EXPECT_EQ(c.lines, readLines(withCrLf(c.bytes))) << c.label << " (CR LF)";
  }
  // A lone CR stays in the line.
  EXPECT_EQ(std::vector<std::string>{"a\rb\n"}, readLines("a\rb\n"));
}

TEST_F(ConfigFileTest, LongLines) {
  const std::string x(1500, 'x');
  // A long physical line comes in pieces of at most 1023 characters.
  EXPECT_EQ((std::vector<std::string>{x.substr(0, 1023), x.substr(1023) + "\n"}), readLines(x + "\n"));
  // A joined line is cut to 1023 characters; the joined piece is used up.
  const std::string a(1000, 'a'), b(100, 'b');
  EXPECT_EQ((std::vector<std::string>{a + b.substr(0, 23), "next\n"}),
            readLines(a + "\\\n" + b + "\nnext\n"));
  EXPECT_EQ((std::vector<std::string>{a + b.substr(0, 23), "next\n"}),
            readLines(withCrLf(a + "\\\n" + b + "\nnext\n")));
  // A smaller buffer cuts smaller pieces.
  EXPECT_EQ((std::vector<std::string>{"abcdefg", "hij\n"}), readLines("abcdefghij\n", 8));
  EXPECT_EQ((std::vector<std::string>{"abcdefg"}), readLines("abc\\\ndefghij\n", 8));
}

TEST_F(ConfigFileTest, Expansion) {
  struct Case {
    std::string line;
    bool newlineEnds, substitute, escapes;
    std::string expected;
    std::string printed = "";
  };
  const Case cases[] = {
      // Variables.
      {"$HOME/x\n", true, true, true, "C:\\u/x"},
      {"${HOME}x", true, true, false, "C:\\ux"},
      {"$$HOME", true, true, false, "$HOME"},
      {"a$LYR_CFG_UNSET.b", true, true, false, "a.b"},
      {"a${LYR_CFG_UNSET}b", true, true, false, "ab"},
      {"[$LYR_CFG_EMPTY]", true, true, false, "[]"},
      {"$LYR_CFG_TEST_more|$LYR_CFG_TEST|", true, true, false, "|value|"},
      {"$ x$-y", true, true, false, " x-y"},
      {"costs 5$", true, true, false, "costs 5"},
      {"$HOME", true, false, true, "$HOME"},
      // A value is inserted as it is, not read for escapes.
      {"$HOME\\t", true, true, true, "C:\\u\t"},
      // Badly formed references drop the rest of the line.
      {"x ${HOME/y\n", true, true, false, "x ",
       "\nERROR: Badly formed variable substitution:\n\tx ${HOME/y\n\n"},
      {"${HOME\n}", true, true, false, "", "\nERROR: Badly formed variable substitution:\n\t${HOME\n}\n"},
      {"%s%n ${", false, true, false, "%s%n ", "\nERROR: Badly formed variable substitution:\n\t%s%n ${\n"},
      // Escapes.
      {"a\\nb\\tc\\\\d\\qe", true, false, true, "a\nb\tc\\dqe"},
      {"a\\nb", true, false, false, "a\\nb"},
      {"trailing\\", true, false, true, "trailing\\"},
      // End marks.
      {"ab\ncd", true, false, false, "ab"},
      {"ab\ncd", false, false, false, "ab\ncd"},
      {"\nrest", true, true, true, ""},
      {"", true, true, true, ""},
      // The rc and settings files' form.
      {"-i $HOME/inc \"a\\tb\"\n", false, true, false, "-i C:\\u/inc \"a\\tb\"\n"},
  };
  for (const Case &c : cases) {
    testing::internal::CaptureStdout();
    const std::string expanded = expandConfigText(c.line, c.newlineEnds, c.substitute, c.escapes);
    EXPECT_EQ(c.printed, testing::internal::GetCapturedStdout()) << c.line;
    EXPECT_EQ(c.expected, expanded) << c.line;

    char buffer[ConfigLineSize];
    std::snprintf(buffer, sizeof buffer, "%s", c.line.c_str());
    testing::internal::CaptureStdout();
    expandConfigLine(buffer, sizeof buffer, c.newlineEnds, c.substitute, c.escapes);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(c.expected, std::string(buffer)) << c.line;
  }
}

TEST_F(ConfigFileTest, ExpansionIsCutToTheLineSize) {
  EnvironmentVariable longValue("LYR_CFG_LONG", std::string(2000, 'v'));
  EXPECT_EQ(std::string(1023, 'v'), expandConfigText("$LYR_CFG_LONG", true, true, false));
  EXPECT_EQ("ab" + std::string(1021, 'v'),
            expandConfigText("ab$LYR_CFG_LONG$LYR_CFG_LONG", true, true, false));
  char buffer[ConfigLineSize] = "x$LYR_CFG_LONG";
  expandConfigLine(buffer, sizeof buffer, false, true, false);
  EXPECT_EQ("x" + std::string(1022, 'v'), std::string(buffer));
  char small[10] = "$HOME/abc";
  expandConfigLine(small, sizeof small, false, true, false);
  EXPECT_EQ("C:\\u/abc", std::string(small));
  char tiny[6] = "$HOME";
  expandConfigLine(tiny, sizeof tiny, false, true, false);
  EXPECT_EQ("C:\\u", std::string(tiny));
  char tinier[4] = "$$$";
  expandConfigLine(tinier, sizeof tinier, false, true, false);
  EXPECT_EQ("$", std::string(tinier));
  char cut[4] = "a\\n";
  expandConfigLine(cut, 3, false, false, true);
  EXPECT_EQ("a\n", std::string(cut));
}

TEST_F(ConfigFileTest, SectionLines) {
  struct Case {
    const char *line;
    const char *section; // null: unknown
    bool continueReading;
    std::string printed = "";
  };
  const Case cases[] = {
      {"#help\n", "help", true},
      {"#HELP\n", "help", true},
      {"#helpfile\n", "help", true},
      {"#Messages extra words\n", "messages", true},
      {"#format-1\n", "format", true},
      {"#options\n", "options", false},
      {"#OPTIONSandmore\n", "options", false},
      {"#he\n", nullptr, true, "\nERROR: Unknown section #he\n"},
      {"#xyz\n", nullptr, true, "\nERROR: Unknown section #xyz\n"},
      {"#\n", nullptr, true, "\nERROR: Unknown section #\n"},
      {"# help\n", nullptr, true, "\nERROR: Unknown section #\n"},
      {"#characters\n", nullptr, true, "\nERROR: Unknown section #characters\n"},
  };
  for (const Case &c : cases) {
    bool continueReading = true;
    testing::internal::CaptureStdout();
    const ConfigSectionTable *slot = findConfigSection(c.line, lyrConfigSections, continueReading);
    EXPECT_EQ(c.printed, testing::internal::GetCapturedStdout()) << c.line;
    EXPECT_EQ(c.continueReading, continueReading) << c.line;
    if (c.section)
      EXPECT_EQ(&slotOf(lyrConfigSections, c.section), slot) << c.line;
    else
      EXPECT_EQ(nullptr, slot) << c.line;
  }
  bool continueReading = true;
  const ConfigSectionTable *slot = findConfigSection("#characters\n", lyrppConfigSections, continueReading);
  EXPECT_EQ(&slotOf(lyrppConfigSections, "characters"), slot);
}

// The sections of a table with their slots: T a text, N a number, Ln and Mn
// lists of n texts or numbers.
std::string layoutOf(const ConfigSectionTable *table) {
  std::string layout;
  for (const ConfigSectionTable *row = table; row->kind != crkEnd; ++row) {
    switch (row->kind) {
    case crkSection:
    case crkOptions:
      layout += (layout.empty() ? "" : " ") + std::string(row->name) + ":";
      if (row->kind == crkOptions)
        layout += "end";
      break;
    case crkText:
      layout += row->texts && !row->numbers && row->count == 1 ? "T" : "?";
      break;
    case crkNumber:
      layout += row->numbers && !row->texts && row->count == 1 ? "N" : "?";
      break;
    case crkTextList:
      layout += (row->texts && !row->numbers ? "L" : "?") + std::to_string(row->count);
      break;
    default:
      layout += "?";
    }
  }
  return layout;
}

TEST(ConfigSectionTableTest, SectionsOfEachProduct) {
  const std::string lyrpp = "help:L1024 characters:T internal:N messages:TTT levels:L500 development:NNNN "
                            "cyclomatic:NNNNN paths:NNN debugging:T general:NNNNN comments:NN bathtub:NN "
                            "options:end";
  struct Case {
    int index;
    std::string layout;
  };
  const Case cases[] = {
      {0, lyrpp},
      {1, "help:L1024 messages:TTT levels:L500 development:NNNN cyclomatic:NNNNN paths:NNN "
          "general:NNNNNNNN comments:NN format:L1L1 options:end"},
      {2, "help:L1024 options:end"},
      {3, lyrpp},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.layout, layoutOf(ProductTable[c.index].configSections)) << ProductTable[c.index].name;
  EXPECT_EQ(nullptr, ProductTable[4].configSections);
}

TEST_F(ConfigFileTest, ReadsSectionsUpToTheOptions) {
  // Numbers that a later file cannot read stay as this one left them.
  ASSERT_TRUE(readConfig("#development\n1\n2\n3\n4\n#general\n5\n6\n7\n").opened);
  const std::string text = "value before any section\n"
                           "* comment\n"
                           "#messages\n"
                           "first\n"
                           "second $LYR_CFG_TEST\n"
                           "third\\tthing\\\n"
                           " joined\n"
                           "fourth is one too many\n"
                           "#HELP\n"
                           "h1\n"
                           "\n"
                           "#xyz\n"
                           "passed over in silence\n"
                           "#format\n"
                           "f1\n"
                           "f2\n"
                           "f3\n"
                           "#development\n"
                           "12\n"
                           "  -7 apples\n"
                           "abc\n"
                           "99999999999\n"
                           "#general\n"
                           "2147483647\n"
                           "-2147483648\n"
                           "2147483648\n"
                           "*#options in a comment\n"
                           "#options\n"
                           "-op out\n"
                           "#foo\n"
                           "* not a comment here\n";
  for (const std::string &bytes : {text, withCrLf(text)}) {
    const ReadResult result = readConfig(bytes);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ("", result.err);
    EXPECT_EQ("\nERROR: Unexpected configuration data: fourth is one too many\n\n"
              "\nERROR: Unknown section #xyz\n"
              "\nERROR: Unexpected configuration data: f3\n\n",
              result.out);
    EXPECT_EQ((std::vector<std::string>{"-op out\n", "#foo\n", "* not a comment here\n"}), result.rest);

    const ConfigSectionTable *table = lyrConfigSections;
    EXPECT_EQ("first", *slotOf(table, "messages", 0).texts);
    EXPECT_EQ("second value", *slotOf(table, "messages", 1).texts);
    EXPECT_EQ("third\tthing joined", *slotOf(table, "messages", 2).texts);
    EXPECT_EQ("h1", slotOf(table, "help").texts[0]);
    EXPECT_EQ("", slotOf(table, "help").texts[1]);
    EXPECT_EQ("f1", slotOf(table, "format", 0).texts[0]);
    EXPECT_EQ("f2", slotOf(table, "format", 1).texts[0]);
    const std::int32_t development[] = {12, -7, 3, 4};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(development[i], *slotOf(table, "development", i).numbers) << i;
    const std::int32_t general[] = {INT32_MAX, INT32_MIN, 7};
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(general[i], *slotOf(table, "general", i).numbers) << i;
  }
}

TEST_F(ConfigFileTest, FileWithoutOptionsSection) {
  const ReadResult result = readConfig("#comments\n3\n4\n");
  EXPECT_TRUE(result.opened);
  EXPECT_TRUE(result.rest.empty());
  EXPECT_EQ(3, *slotOf(lyrConfigSections, "comments", 0).numbers);
  EXPECT_EQ(4, *slotOf(lyrConfigSections, "comments", 1).numbers);
}

TEST_F(ConfigFileTest, MissingFile) {
  const ReadResult result = readConfigIn(m_bin.c_str(), "lyr", lyrConfigSections);
  EXPECT_FALSE(result.opened);
  EXPECT_EQ("", result.out);
  EXPECT_EQ("\nERROR: Unable to open configuration file " + m_bin + "/lyr.cfg\n\n", result.err);
  // A null directory is the empty one: the file is looked for as it is named.
  const ReadResult none = readConfigIn(nullptr, "no-such-product", lyrConfigSections);
  EXPECT_FALSE(none.opened);
  EXPECT_EQ("\nERROR: Unable to open configuration file no-such-product.cfg\n\n", none.err);
  // A directory of the file's name cannot be read as one.
  m_scratch.makeDirectory("bin/kef.cfg");
  const ReadResult directory = readConfigIn(m_bin.c_str(), "kef", kefConfigSections);
  EXPECT_FALSE(directory.opened);
  EXPECT_EQ("\nERROR: Unable to open configuration file " + m_bin + "/kef.cfg\n\n", directory.err);
}

TEST_F(ConfigFileTest, InstallationDirectoryWithBackslashes) {
  m_scratch.writeFile("bin/lyr.cfg", "#options\n-a\n");
  const std::string windowsForm = m_scratch.path() + "\\bin\\";
  const ReadResult result = readConfigIn(windowsForm.c_str(), "lyr", lyrConfigSections);
  EXPECT_TRUE(result.opened);
  EXPECT_EQ(std::vector<std::string>{"-a\n"}, result.rest);
}

TEST_F(ConfigFileTest, ShiftJisFileInAShiftJisDirectory) {
  // 0x95 0x5C is one Shift_JIS character, not a backslash; the text is read
  // in the internal encoding (EUC).
  const std::string directory = m_scratch.makeDirectory("\x95\x5C");
  m_scratch.writeFile("\x95\x5C/lyr.cfg",
                      "#messages\r\n\x83\x65\x83\x58\x83\x67\r\n#options\r\n-op \x95\x5C\r\n");
  const ReadResult result = readConfigIn(directory.c_str(), "lyr", lyrConfigSections, eceSJIS);
  EXPECT_TRUE(result.opened);
  EXPECT_EQ("", result.err);
  EXPECT_EQ("\xA5\xC6\xA5\xB9\xA5\xC8", *slotOf(lyrConfigSections, "messages").texts);
  EXPECT_EQ(std::vector<std::string>{"-op \xC9\xBD\n"}, result.rest);
}

TEST_F(ConfigFileTest, FullListMovesOn) {
  std::string text = "#messages\n#help\n";
  for (int i = 0; i < 1024; ++i)
    text.append("h").append(std::to_string(i)).append("\n");
  text += "one too many\n#options\n";
  const ReadResult result = readConfig(text, "kef", kefConfigSections);
  EXPECT_EQ("\nERROR: Unknown section #messages\n"
            "\nERROR: Unexpected configuration data: one too many\n\n",
            result.out);
  EXPECT_EQ("h0", slotOf(kefConfigSections, "help").texts[0]);
  EXPECT_EQ("h1023", slotOf(kefConfigSections, "help").texts[1023]);
}

TEST_F(ConfigFileTest, ListCounterRestartsWithEachSection) {
  std::int32_t numbers[2] = {0, 0};
  std::string texts[2];
  const ConfigSectionTable table[] = {
      {crkSection, "a", nullptr, nullptr, 0},       {crkNumberList, nullptr, nullptr, numbers, 2},
      {crkSection, "b", nullptr, nullptr, 0},       {crkTextList, nullptr, texts, nullptr, 2},
      {crkOptions, "options", nullptr, nullptr, 0}, {crkEnd, nullptr, nullptr, nullptr, 0},
  };
  // The list of "b" is left half full; "a" starts again from its first entry.
  const ReadResult result = readConfig("#a\n1\n#b\nx\n#a\n2\nno number\n4\n", "lyr", table);
  EXPECT_EQ("\nERROR: Unexpected configuration data: 4\n\n", result.out);
  EXPECT_EQ(2, numbers[0]);
  EXPECT_EQ(0, numbers[1]);
  EXPECT_EQ("x", texts[0]);
  EXPECT_EQ("", texts[1]);
}

TEST_F(ConfigFileTest, ValueWithoutSlot) {
  const ConfigSectionTable *slot = nullptr;
  testing::internal::CaptureStdout();
  storeConfigValue("anything\n", slot, true);
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  EXPECT_EQ(nullptr, slot);
  // The end of a table is no slot either: the line is reported there.
  const ConfigSectionTable *end = &slotOf(kefConfigSections, "options");
  ASSERT_EQ(crkEnd, end->kind);
  testing::internal::CaptureStdout();
  storeConfigValue("100%s\n", end, true);
  EXPECT_EQ("\nERROR: Unexpected configuration data: 100%s\n\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(crkEnd, end->kind);
}

} // namespace
