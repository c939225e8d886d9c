#include "cmdline/CmdArgs.h"

#include "cmdline/CmdArgStreamBuffer.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Exception.h"
#include "foundation/FileIdentity.h"
#include "foundation/Language.h"
#include "foundation/NamedFiles.h"
#include "support/Bytes.h"
#include "support/ConfigurationError.h"
#include "support/RecordingOrphanHandler.h"
#include "support/ScratchDirectory.h"

#include <exception>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using test_support::withCrLf;

TEST(CmdArgsTest, ValidProductGetsOptionsAndWords) {
  const char *words[] = {"-deb", "log", "a.c"};
  const C_CmdArgs args("lyrpp", 3, words);
  EXPECT_TRUE(args.product().isValid());
  EXPECT_EQ(0, args.product().index());
  ASSERT_NE(nullptr, args.options());
  EXPECT_TRUE(args.options()->debug().values().empty());
  EXPECT_EQ((std::vector<std::string>{"-deb", "log", "a.c"}), args.words());
  EXPECT_EQ("lyrpp", C_currentProduct()->name());
}

TEST(CmdArgsTest, InvalidProductHasNeitherOptionsNorWords) {
  const char *words[] = {"a.c"};
  const C_CmdArgs args("lyrc", 1, words);
  EXPECT_FALSE(args.product().isValid());
  EXPECT_EQ(nullptr, args.options());
  EXPECT_TRUE(args.words().empty());
  U_RefPtr<C_CmdArgs> handle(new C_CmdArgs(args));
  EXPECT_FALSE(C_CmdArgs::hasDebugFlag(handle, "log"));
}

TEST(CmdArgsTest, WordCounts) {
  const char *words[] = {"x", nullptr};
  EXPECT_TRUE(C_CmdArgs("lyr", 0, words).words().empty());
  EXPECT_TRUE(C_CmdArgs("lyr", -3, words).words().empty());
  EXPECT_TRUE(C_CmdArgs("lyr", 2, nullptr).words().empty());
  EXPECT_EQ((std::vector<std::string>{"x", ""}), C_CmdArgs("lyr", 2, words).words());
  C_CmdArgs args("lyr", 1, words);
  args.addWords(1, words);
  EXPECT_EQ((std::vector<std::string>{"x", "x"}), args.words());
}

TEST(CmdArgsTest, CopyOwnsItsOptionsAndLeavesTheCurrentProduct) {
  const char *words[] = {"f.c"};
  C_CmdArgs original("kef", 1, words);
  original.options()->debug().add("log");
  const C_Product changed("duv");
  const C_CmdArgs copy(original);
  EXPECT_EQ(3, C_currentProduct()->index()); // copying did not make kef current
  EXPECT_EQ(2, copy.product().index());
  EXPECT_EQ(original.words(), copy.words());
  ASSERT_NE(nullptr, copy.options());
  EXPECT_NE(original.options(), copy.options());
  original.options()->debug().forget();
  EXPECT_EQ((std::vector<std::string>{"log"}), copy.options()->debug().values());
  EXPECT_EQ(0u, copy.referenceCount());
}

TEST(CmdArgsTest, CurrentArgumentSetIsACopy) {
  C_CmdArgs args("lyr", 0, nullptr);
  args.options()->debug().add("textoutput");
  C_setCurrentCmdArgs(args);
  C_CmdArgs *current = C_currentCmdArgs();
  ASSERT_NE(nullptr, current);
  EXPECT_NE(&args, current);
  EXPECT_EQ(1u, current->referenceCount());
  EXPECT_EQ((std::vector<std::string>{"textoutput"}), current->options()->debug().values());

  U_RefPtr<C_CmdArgs> handle(current);
  C_setCurrentCmdArgs(C_CmdArgs("kef", 0, nullptr));
  EXPECT_NE(current, C_currentCmdArgs());
  EXPECT_EQ(1u, handle->referenceCount()); // the old set lost the current set's count
  EXPECT_TRUE(C_CmdArgs::hasDebugFlag(handle, "textoutput"));
  EXPECT_FALSE(C_CmdArgs::hasDebugFlag(handle, "simpleoutput"));
  EXPECT_FALSE(C_CmdArgs::hasDebugFlag(U_RefPtr<C_CmdArgs>(), "textoutput"));
}

using test_support::CurrentDirectory;
using test_support::EnvironmentVariable;
using test_support::RecordingOrphanHandler;
using test_support::ScratchDirectory;

std::string unknown(const std::string &word) { return "\nERROR: Unknown argument: " + word + "\n\n"; }

// A run's surroundings: an installation directory for the configuration
// file, one rc directory, and an empty home and current directory, so that no
// other rc file is found.
class ParseSourcesTest : public testing::Test {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override {
    QL_resetLanguageCaches();
    resetImplicitHeaderIdentity();
    resetImplicitHeaderLocations();
    clearNamedFiles();
  }

  struct Files {
    std::optional<std::string> config; // lyr.cfg
    std::optional<std::string> rc;     // .lyrrc
    std::optional<std::string> settings;
  };
  // Writes the files (those given), LF or CR LF; the text SETTINGS in them
  // stands for the settings file's path.
  void writeFiles(const Files &files, bool crLf) {
    auto write = [&](const std::optional<std::string> &text, const std::string &path) {
      std::filesystem::remove(path);
      if (!text)
        return;
      std::string bytes = *text;
      for (std::size_t at; (at = bytes.find("SETTINGS")) != std::string::npos;)
        bytes.replace(at, 8, m_settings);
      m_scratch.writeFile(path.substr(m_scratch.path().size() + 1), crLf ? withCrLf(bytes) : bytes);
    };
    write(files.config, m_bin + "/lyr.cfg");
    write(files.rc, m_rcDirectory + "/.lyrrc");
    write(files.settings, m_settings);
  }

  struct Parse {
    std::vector<std::string> orphans;
    std::string out;
    std::string err;
    std::exception_ptr error;
  };
  Parse parse(C_CmdArgs &args) {
    RecordingOrphanHandler handler;
    Parse result;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    try {
      args.parseSources(handler);
    } catch (...) {
      result.error = std::current_exception();
    }
    result.out = testing::internal::GetCapturedStdout();
    result.err = testing::internal::GetCapturedStderr();
    result.orphans = handler.words;
    return result;
  }

  ScratchDirectory m_scratch;
  const std::string m_bin = m_scratch.makeDirectory("bin");
  const std::string m_rcDirectory = m_scratch.makeDirectory("rc");
  const std::string m_settings = m_scratch / "set.txt";
  EnvironmentVariable m_binVariable{"LYRBIN", m_bin};
  EnvironmentVariable m_rcPath{"LYRRCPATH", m_rcDirectory};
  EnvironmentVariable m_home{"HOME", m_scratch.makeDirectory("home")};
  EnvironmentVariable m_tempFiles{"LYRTEMPFILES", m_scratch.makeDirectory("tmp")};
  EnvironmentVariable m_lang{"LANG", "C"};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", "1"};
  CurrentDirectory m_current{m_scratch.makeDirectory("work")};
};

TEST_F(ParseSourcesTest, ReadingOrderAndPrecedence) {
  const std::string noConfig = "\nERROR: Unable to open configuration file " + m_bin + "/lyr.cfg\n\n";
  struct Case {
    Files files;
    std::vector<std::string> words;
    std::string outputPath;
    std::vector<std::int32_t> noMsg;
    std::vector<std::string> orphans;
    std::string err = {};
  };
  const Case cases[] = {
      // Configuration file, rc file, the settings file it names, command line.
      {{"#options\n-op cfg -nomsg 1 cfg.c\n", "-op rc -nomsg 2 rc.c -via SETTINGS rc2.c\n",
        "-op set -nomsg 3 set.c\n"},
       {"-nomsg", "4", "a.c", "-op", "cmd"},
       "cmd",
       {1, 2, 3, 4},
       {"cfg.c", "rc.c", "set.c", "rc2.c", "a.c"}},
      {{"#options\n-op cfg\n", "-op rc -via SETTINGS\n", "-op set\n"}, {"a.c"}, "set", {}, {"a.c"}},
      {{"#options\n-op cfg\n", "-op rc\n", std::nullopt}, {}, "rc", {}, {}},
      {{"#options\n-op cfg\n", std::nullopt, std::nullopt}, {}, "cfg", {}, {}},
      {{"#options\n-op cfg\n", "-op other\n", std::nullopt}, {"-op", "out", "a.c"}, "out", {}, {"a.c"}},
      // An option without its value at the end of one source takes the
      // first word of the next.
      {{"#options\n-nomsg 1 -op\n", std::nullopt, std::nullopt}, {"a.c"}, "a.c", {1}, {}},
      {{"#options\n", "-op\n", std::nullopt}, {"a.c", "b.c"}, "a.c", {}, {"b.c"}},
      // Only the words after the options line count; every line after it is
      // word text.
      {{"#messages\n-op m\n#options\n-nomsg 1\n#foo\n* -nomsg 2\n", std::nullopt, std::nullopt},
       {},
       "",
       {1},
       {"#foo"}},
      {{"#messages\n-op m\n", "-nomsg 2\n", std::nullopt}, {}, "", {2}, {}},
      // Without a configuration file the other sources are read all the same.
      {{std::nullopt, "-op rc r.c\n", std::nullopt}, {"b.c"}, "rc", {}, {"r.c", "b.c"}, noConfig},
  };
  for (const Case &c : cases) {
    for (const bool crLf : {false, true}) {
      const std::string label = testing::PrintToString(c.words) + (crLf ? " CR LF" : " LF");
      writeFiles(c.files, crLf);
      std::vector<const char *> argv;
      for (const std::string &word : c.words)
        argv.push_back(word.c_str());
      C_CmdArgs args("lyr", static_cast<int>(argv.size()), argv.data());
      const Parse result = parse(args);
      EXPECT_FALSE(result.error) << label;
      EXPECT_TRUE(args.sourcesRead()) << label;
      EXPECT_EQ(c.outputPath, args.options()->outputPath().getValue()) << label;
      EXPECT_EQ(c.noMsg, args.options()->noMsg().values()) << label;
      EXPECT_EQ(c.orphans, result.orphans) << label;
      EXPECT_EQ(c.err, result.err) << label;
    }
  }
}

TEST_F(ParseSourcesTest, VariablesAndQuotesOnlyInFiles) {
  const EnvironmentVariable directory("LYR_PARSE_DIR", "/p q");
  writeFiles(
      {"#options\n-e \"$LYR_PARSE_DIR\"\n", "-op '$LYR_PARSE_DIR/out' -e $LYR_PARSE_DIR\n", std::nullopt},
      false);
  const char *words[] = {"-e", "$LYR_PARSE_DIR", "'x y'"};
  C_CmdArgs args("lyr", 3, words);
  const Parse result = parse(args);
  EXPECT_FALSE(result.error);
  EXPECT_EQ("/p q/out", args.options()->outputPath().getValue());
  // Unquoted, the value's blank splits it into two words.
  EXPECT_EQ("/p q\n/p\n$LYR_PARSE_DIR\n", result.out);
  EXPECT_EQ((std::vector<std::string>{"q", "'x y'"}), result.orphans);
}

TEST_F(ParseSourcesTest, BlankInAValue) {
  // A command-line argument is one word, blanks and all; in a file a blank
  // separates words unless it stands between quotes.
  struct Case {
    std::optional<std::string> rc;
    std::vector<const char *> words;
    std::string outputPath;
    std::vector<std::string> orphans;
  };
  const Case cases[] = {
      {std::nullopt, {"-opmy dir"}, "my dir", {}}, {std::nullopt, {"-op=my dir", "a.c"}, "my dir", {"a.c"}},
      {"-opmy dir\n", {}, "my", {"dir"}},          {"-op'my dir'\n", {}, "my dir", {}},
      {"-op\"my \"dir\n", {}, "my dir", {}},
  };
  for (const Case &c : cases) {
    writeFiles({"#options\n", c.rc, std::nullopt}, false);
    C_CmdArgs args("lyr", static_cast<int>(c.words.size()), c.words.data());
    const Parse result = parse(args);
    const std::string label = c.rc ? *c.rc : c.words[0];
    EXPECT_FALSE(result.error) << label;
    EXPECT_EQ(c.outputPath, args.options()->outputPath().getValue()) << label;
    EXPECT_EQ(c.orphans, result.orphans) << label;
  }
}

TEST_F(ParseSourcesTest, SourcesAreReadOnce) {
  writeFiles({"#options\n", "rc.c\n", std::nullopt}, false);
  const char *words[] = {"a.c"};
  C_CmdArgs args("lyr", 1, words);
  EXPECT_FALSE(args.sourcesRead());
  EXPECT_EQ((std::vector<std::string>{"rc.c", "a.c"}), parse(args).orphans);
  EXPECT_TRUE(args.sourcesRead());
  const Parse again = parse(args);
  EXPECT_TRUE(again.orphans.empty());
  EXPECT_EQ("", again.err);
  C_CmdArgs copy(args);
  EXPECT_TRUE(copy.sourcesRead());
  EXPECT_TRUE(parse(copy).orphans.empty());
}

TEST_F(ParseSourcesTest, CrossModuleAnalysisFileIsNamed) {
  writeFiles({"#options\n", std::nullopt, std::nullopt}, false);
  struct Case {
    std::vector<const char *> words;
    bool named;
  };
  const Case cases[] = {
      {{"-cmaf", "dir\\m.cmaf", "a.c"}, true},
      {{"-crossmoduleanalysisfile=dir/m.cmaf"}, true},
      {{"-cmaf", ""}, false},
      {{"a.c"}, false},
  };
  for (const Case &c : cases) {
    addNamedFile(QL_Filename::fromPath("before.c"));
    C_CmdArgs args("lyr", static_cast<int>(c.words.size()), c.words.data());
    EXPECT_FALSE(parse(args).error);
    EXPECT_EQ(c.named, isNamedFile(args, QL_Filename::fromPath("dir/m.cmaf"))) << c.words[0];
    // The set of named files starts afresh with each parse.
    EXPECT_FALSE(isNamedFile(args, QL_Filename::fromPath("before.c"))) << c.words[0];
  }
}

TEST_F(ParseSourcesTest, ErrorPoliciesAcrossSources) {
  struct Case {
    Files files;
    std::vector<const char *> words;
    std::string err;
    std::vector<std::string> orphans;
    std::string thrown;
  };
  const Case cases[] = {
      // A switch from the configuration file holds for the later sources.
      {{"#options\n-eica\n", "r.c\n", std::nullopt}, {"-zzz", "a.c"}, "", {"r.c"}, unknown("-zzz")},
      {{"#options\n-eicv\n", "-tabstop\n", std::nullopt},
       {},
       "",
       {},
       "\nERROR: Argument expected after tabstop\n\n"},
      // One given later does not reach back.
      {{"#options\n-yyy\n", "-zzz\n", std::nullopt},
       {"-eica", "a.c"},
       unknown("-yyy") + unknown("-zzz"),
       {"a.c"},
       ""},
      // The command line turns the configuration file's switch off again.
      {{"#options\n-eica\n", std::nullopt, std::nullopt},
       {"-eica-", "-zzz", "a.c"},
       unknown("-zzz"),
       {"a.c"},
       ""},
  };
  for (const Case &c : cases) {
    const std::string label = testing::PrintToString(c.words);
    writeFiles(c.files, false);
    C_CmdArgs args("lyr", static_cast<int>(c.words.size()), c.words.data());
    const Parse result = parse(args);
    EXPECT_EQ(c.err, result.err) << label;
    EXPECT_EQ(c.orphans, result.orphans) << label;
    EXPECT_EQ(c.thrown.empty(), args.sourcesRead()) << label;
    if (c.thrown.empty()) {
      EXPECT_FALSE(result.error) << label;
      continue;
    }
    EXPECT_TRUE(test_support::isConfigurationError(result.error, c.thrown)) << label;
  }
}

std::string nestedTooDeeply(const std::string &file) {
  return "\nERROR: Settings files nested too deeply, not read: " + file + "\n\n";
}

// Settings files that name themselves or each other, or one file named from
// many places: a file being read is not read again, a run reads at most
// MaxSettingsFiles of them, and each file refused is reported once.
TEST_F(ParseSourcesTest, SettingsFilesNamingEachOtherAreBounded) {
  std::string many;
  for (int i = 0; i < 5000; ++i)
    many += "-via one.txt\n";
  struct Case {
    const char *label;
    std::vector<std::pair<std::string, std::string>> files; // in the current directory
    std::vector<const char *> words;
    std::vector<std::string> orphans;
    std::string err;
  };
  const Case cases[] = {
      {"a file naming itself twice",
       {{"v.txt", "-via v.txt\n-via v.txt\nv.c\n"}},
       {"-via", "v.txt", "a.c"},
       {"v.c", "a.c"},
       nestedTooDeeply("v.txt")},
      {"spelled another way",
       {{"v.txt", "-via ./v.txt\n-viasub/../v.txt\nv.c\n"}},
       {"-via", "v.txt"},
       {"v.c"},
       nestedTooDeeply("./v.txt")},
      {"two files naming each other",
       {{"a.txt", "-via b.txt\na.c\n-via b.txt\n"}, {"b.txt", "-via a.txt\nb.c\n"}},
       {"-via", "a.txt"},
       {"b.c", "a.c", "b.c"},
       nestedTooDeeply("a.txt")},
      {"a file named from many places",
       {{"many.txt", many}, {"one.txt", "x\n"}},
       {"-via", "many.txt", "end.c"},
       [] {
         std::vector<std::string> orphans(C_CmdArgStreamBuffer::MaxSettingsFiles - 1, "x");
         orphans.push_back("end.c");
         return orphans;
       }(),
       nestedTooDeeply("one.txt")},
  };
  writeFiles({"#options\n", std::nullopt, std::nullopt}, false);
  std::filesystem::create_directory("sub");
  for (const Case &c : cases) {
    for (const auto &[name, text] : c.files)
      m_scratch.writeFile("work/" + name, text);
    C_CmdArgs args("lyr", static_cast<int>(c.words.size()), c.words.data());
    const Parse result = parse(args);
    EXPECT_FALSE(result.error) << c.label;
    EXPECT_EQ(c.orphans, result.orphans) << c.label;
    EXPECT_EQ(c.err, result.err) << c.label;
  }
}

// Twenty files, each naming the next twice, would be read about two million
// times; the run stops after MaxSettingsFiles and names each refused file
// once.
TEST_F(ParseSourcesTest, SettingsFilesThatMultiplyAreBounded) {
  constexpr int depth = 20;
  for (int i = 0; i < depth; ++i) {
    const std::string next = std::string("f").append(std::to_string(i + 1)).append(".txt");
    m_scratch.writeFile("work/f" + std::to_string(i) + ".txt", "-via " + next + "\n-via " + next + "\n");
  }
  m_scratch.writeFile("work/f" + std::to_string(depth) + ".txt", "y\n");
  writeFiles({"#options\n", std::nullopt, std::nullopt}, false);
  const char *words[] = {"-via", "f0.txt"};
  C_CmdArgs args("lyr", 2, words);
  const Parse result = parse(args);
  EXPECT_FALSE(result.error);
  EXPECT_GT(result.orphans.size(), 0u);
  EXPECT_LT(result.orphans.size(), C_CmdArgStreamBuffer::MaxSettingsFiles);
  std::set<std::string> reported;
  for (std::size_t at = 0; at < result.err.size();) {
    const std::size_t end = result.err.find("\n\n", at);
    ASSERT_NE(std::string::npos, end);
    const std::string message = result.err.substr(at, end + 2 - at);
    EXPECT_TRUE(reported.insert(message).second) << message;
    at = end + 2;
  }
  EXPECT_FALSE(reported.empty());
  for (int i = 1; i <= depth; ++i)
    reported.erase(nestedTooDeeply("f" + std::to_string(i) + ".txt"));
  EXPECT_TRUE(reported.empty()) << testing::PrintToString(reported);
}

// A file name that is not valid in the product's encoding ends the run with
// an error that names it; it is never read as another name.
TEST_F(ParseSourcesTest, FileNameNotValidInTheProductEncodingIsAnError) {
  m_lang.set("ja_JP.UTF-8");
  writeFiles({"#options\n", std::nullopt, std::nullopt}, false);
  const std::string bad = BYTES("\xC0\xAF");
  const std::string shown = "\\xC0\\xAF";
  m_scratch.writeFile("work/" + bad, "-nomsg 1\n"); // it exists, under that name
  const std::string badInWord = "-via" + bad;
  struct Case {
    const char *label;
    std::vector<const char *> words;
    std::string shown;
    std::optional<std::string> home = std::nullopt;
    std::optional<std::string> bin = std::nullopt;
  };
  const Case cases[] = {
      {"settings file", {"-via", bad.c_str(), "a.c"}, shown},
      {"settings file in the option's word", {badInWord.c_str()}, shown},
      {"output directory", {"-op", bad.c_str()}, shown},
      {"home directory", {"a.c"}, m_scratch.path() + "/" + shown, m_scratch / bad},
      {"installation directory", {"a.c"}, m_scratch.path() + "/" + shown, std::nullopt, m_scratch / bad},
  };
  for (const Case &c : cases) {
    const EnvironmentVariable home("HOME", c.home ? c.home : m_scratch / "home");
    const EnvironmentVariable bin("LYRBIN", c.bin ? c.bin : m_bin);
    C_CmdArgs args("lyr", static_cast<int>(c.words.size()), c.words.data());
    const Parse result = parse(args);
    const std::string error =
        "\nERROR: File name not valid in the product's encoding (UTF-8): '" + c.shown + "'\n\n";
    EXPECT_TRUE(test_support::isConfigurationError(result.error, error)) << c.label;
    EXPECT_TRUE(args.options()->noMsg().values().empty()) << c.label;
  }
}

TEST_F(ParseSourcesTest, FailedParseNamesNoCrossModuleFile) {
  writeFiles({"#options\n", std::nullopt, std::nullopt}, false);
  const char *words[] = {"-cmaf", "m.cmaf", "-eica", "-zzz"};
  C_CmdArgs args("lyr", 4, words);
  const Parse result = parse(args);
  EXPECT_TRUE(result.error);
  EXPECT_FALSE(args.sourcesRead());
  EXPECT_FALSE(isNamedFile(args, QL_Filename::fromPath("m.cmaf")));
}

TEST_F(ParseSourcesTest, UnusableTemporaryDirectoryEndsTheParse) {
  writeFiles({"#options\n", std::nullopt, std::nullopt}, false);
  m_tempFiles.set(m_scratch / "missing");
  const char *words[] = {"a.c"};
  C_CmdArgs args("lyr", 1, words);
  const Parse result = parse(args);
  EXPECT_FALSE(args.sourcesRead());
  EXPECT_TRUE(result.orphans.empty());
  ASSERT_TRUE(result.error);
  EXPECT_THROW(std::rethrow_exception(result.error), U_UserException);
}

TEST_F(ParseSourcesTest, FilesInTheProductEncoding) {
  m_lang.set("ja_JP.SJIS");
  // Shift_JIS: 0x95 0x5C is one character whose second byte is a backslash
  // (0xC9 0xBD in the internal encoding); 0x83 0x65 is another.
  writeFiles({"#options\n-nomsg 1\n", "-op \x95\x5C\\out \x83\x65.c\n", std::nullopt}, true);
  const char *words[] = {"\x83\x65\x95\x5C.c"};
  C_CmdArgs args("lyr", 1, words);
  const Parse result = parse(args);
  EXPECT_FALSE(result.error);
  EXPECT_EQ("\xC9\xBD/out", args.options()->outputPath().getValue());
  EXPECT_EQ(std::vector<std::int32_t>{1}, args.options()->noMsg().values());
  // Orphans come in the product's encoding, from files as from the command
  // line.
  EXPECT_EQ((std::vector<std::string>{"\x83\x65.c", "\x83\x65\x95\x5C.c"}), result.orphans);
}

} // namespace
