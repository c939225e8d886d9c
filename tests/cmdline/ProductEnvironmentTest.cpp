#include "cmdline/ProductEnvironment.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/Exception.h"
#include "foundation/Language.h"

#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using test_support::CurrentDirectory;
using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

// Every test pins the product language (no conversion unless a test says
// otherwise) and has it worked out afresh on each use.
class ProductEnvironmentTest : public testing::Test {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override {
    QL_resetLanguageCaches();
    resetImplicitHeaderLocations();
  }

  ScratchDirectory m_scratch;
  EnvironmentVariable m_lang{"LANG", "C"};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", "1"};
  EnvironmentVariable m_bin{"LYRBIN", m_scratch.makeDirectory("bin")};
  const C_Product m_lyr{"lyr"};
};

TEST_F(ProductEnvironmentTest, ProductNames) {
  const struct {
    const char *word;
    const char *binVariable;
    const char *name;
    const char *configName;
  } cases[] = {
      {"lyrpp", "LYRPPBIN", "LYRPP", "lyrpp"},
      {"LYR", "LYRBIN", "LYR", "lyr"},
      {"kef", "KEFBIN", "KEF", "kef"},
      {"Duv", "DUVBIN", "DUV", "duv"},
  };
  for (const auto &c : cases) {
    const C_Product product(c.word);
    EXPECT_EQ(c.binVariable, productBinVariableName(product)) << c.word;
    EXPECT_EQ(c.name, productName(product)) << c.word;
    EXPECT_EQ(c.configName, productConfigName(product)) << c.word;
  }
}

TEST_F(ProductEnvironmentTest, InstallationDirectory) {
  const struct {
    std::optional<std::string> value;
    std::string expected;
  } cases[] = {
      {"C:\\tools\\bin", "C:/tools/bin"},
      {"/opt/lyr/bin/", "/opt/lyr/bin/"},
      {"", ""},
  };
  for (const auto &c : cases) {
    m_bin.set(c.value);
    EXPECT_TRUE(hasProductBinDir(m_lyr));
    EXPECT_EQ(c.expected, productBinDir(m_lyr));
    EXPECT_EQ(c.expected, currentProductBinDir(m_lyr));
  }
  m_bin.set(std::nullopt);
  EXPECT_FALSE(hasProductBinDir(m_lyr));
  EXPECT_FALSE(hasProductBinDir(C_Product("nothing")));
  try {
    productBinDir(m_lyr);
    FAIL() << "no exception";
  } catch (const C_ConfigurationException &e) {
    EXPECT_STREQ("\nERROR: LYRBIN environment variable not found\n", e.what());
    EXPECT_EQ(10, e.exitCode());
  }
}

TEST_F(ProductEnvironmentTest, EnvironmentValuesAreConvertedBeforeSlashesTurn) {
  // Shift_JIS 0x95 0x5C is one character whose second byte is a backslash;
  // in the internal encoding it is 0xC9 0xBD.
  m_lang.set("ja_JP.SJIS");
  m_bin.set("C:\\\x95\x5C\\bin");
  EXPECT_EQ("C:/\xC9\xBD/bin", productBinDir(m_lyr));
  EnvironmentVariable outPath("LYROUTPATH", "out\\\x95\x5C");
  EXPECT_EQ("out/\xC9\xBD", outputDirectory(m_lyr, ""));
}

TEST_F(ProductEnvironmentTest, OutputDirectory) {
  const struct {
    std::string option;
    std::optional<std::string> variable;
    std::string expected;
  } cases[] = {
      {"given\\as\\is", "env", "given\\as\\is"},
      {"", "D:\\results\\", "D:/results/"},
      {"", std::nullopt, "."},
  };
  EnvironmentVariable outPath("LYROUTPATH", std::nullopt);
  for (const auto &c : cases) {
    outPath.set(c.variable);
    EXPECT_EQ(c.expected, outputDirectory(m_lyr, c.option)) << c.option;
  }
}

// Gives the option the value as an option word would.
void give(C_OptionBase &option, const std::string &value) {
  std::istringstream word(value);
  option.set(word, true);
}

TEST_F(ProductEnvironmentTest, OutputDirectoryOfAnArgumentSet) {
  EnvironmentVariable outPath("LYROUTPATH", "env\\out");
  C_CmdArgs args("lyr", 0, nullptr);
  EXPECT_EQ("env/out", outputDirectory(args));
  give(args.options()->outputPath(), "given");
  EXPECT_EQ("given", outputDirectory(args));
  C_setCurrentCmdArgs(args);
  EXPECT_EQ("given", outputDirectory());
}

class TempDirTest : public ProductEnvironmentTest {
protected:
  EnvironmentVariable m_tempFiles{"LYRTEMPFILES", std::nullopt};
  EnvironmentVariable m_tmp{"TMP", std::nullopt};

  std::string failureText() {
    try {
      productTempDir(m_lyr);
    } catch (const C_ConfigurationException &) {
      return "<configuration error>";
    } catch (const U_UserException &e) {
      return e.what();
    }
    return "<no failure>";
  }
};

TEST_F(TempDirTest, ProductVariableComesFirst) {
  const std::string mine = m_scratch.makeDirectory("mine");
  m_tempFiles.set(mine);
  m_tmp.set(m_scratch.path());
  EXPECT_EQ(mine, productTempDir(m_lyr));
  EXPECT_EQ(mine, currentTempDir());
  // The probe file made to test the directory is gone again.
  EXPECT_TRUE(std::filesystem::is_empty(mine));
}

TEST_F(TempDirTest, UnusableProductVariableEndsTheSearch) {
  const std::string missing = m_scratch.path() + "/missing";
  const std::string plainFile = m_scratch.writeFile("plain");
  for (const std::string &unusable : {missing, plainFile}) {
    m_tempFiles.set(unusable);
    m_tmp.set(m_scratch.path()); // not consulted
    EXPECT_EQ("Error finding temporary directory:\n"
              "\tTried directory from environment variable LYRTEMPFILES: " +
                  unusable + "\n",
              failureText());
  }
}

TEST_F(TempDirTest, TmpThenTheSystemDirectory) {
  m_tmp.set(m_scratch.path());
  EXPECT_EQ(m_scratch.path(), productTempDir(m_lyr));
  const std::string file = m_scratch.writeFile("plain");
  m_tmp.set(file);
  EXPECT_EQ("/tmp", productTempDir(m_lyr));
  m_tmp.set(std::nullopt);
  EXPECT_EQ("/tmp", productTempDir(m_lyr));
}

TEST_F(TempDirTest, NamesAreShownInTheProductEncoding) {
  // The directory is tested in the internal encoding and named in the
  // product's own.
  m_lang.set("ja_JP.SJIS");
  const std::string missing = m_scratch.path() + "/\x95\x5C";
  m_tempFiles.set(missing);
  EXPECT_EQ("Error finding temporary directory:\n"
            "\tTried directory from environment variable LYRTEMPFILES: " +
                missing + "\n",
            failureText());
}

class RcFileTest : public ProductEnvironmentTest {
protected:
  // Makes the directories of the search and gives the one to work in.
  std::string makeDirectories() {
    for (const char *dir : {"a", "b", "home", "empty"})
      m_scratch.makeDirectory(dir);
    return m_scratch.makeDirectory("cwd");
  }
  std::string put(const std::string &dir) { return m_scratch.writeFile(dir + "/.lyrrc", "-op x\n"); }

  EnvironmentVariable m_rcPath{"LYRRCPATH", std::nullopt};
  EnvironmentVariable m_home{"HOME", std::nullopt};
  CurrentDirectory m_cwd{makeDirectories()};
};

TEST_F(RcFileTest, SearchOrder) {
  const std::string a = m_scratch / "a", b = m_scratch / "b", home = m_scratch / "home";
  const std::string inA = put("a"), inB = put("b"), inCwd = put("cwd"), inHome = put("home");
  struct Case {
    const char *label;
    std::optional<std::string> rcPath;
    std::optional<std::string> home;
    std::vector<std::string> remove; // files taken away before the look-up
    std::string expected;
  };
  const Case cases[] = {
      {"first directory of the list", b + ";" + a, home, {}, inB},
      {"empty element tries the bare name", m_scratch / "empty" + ";;" + a, home, {}, ".lyrrc"},
      {"list without the file: current directory", m_scratch / "empty", home, {}, inCwd},
      {"no list: current directory", std::nullopt, home, {}, inCwd},
      {"then HOME", std::nullopt, home, {inCwd}, inHome},
      {"HOME with backslashes", std::nullopt, m_scratch.path() + "\\home", {inCwd}, inHome},
      {"nothing anywhere", m_scratch / "empty", home, {inCwd, inHome}, ""},
      {"no HOME", std::nullopt, std::nullopt, {inCwd}, ""},
  };
  for (const Case &c : cases) {
    put("cwd");
    put("home");
    for (const std::string &file : c.remove)
      std::filesystem::remove(file);
    m_rcPath.set(c.rcPath);
    m_home.set(c.home);
    EXPECT_EQ(c.expected, productRcFile(m_lyr)) << c.label;
  }
}

TEST_F(RcFileTest, OnlyReadableRegularFilesCount) {
  // A directory of the rc file's name is passed over.
  m_scratch.makeDirectory("a/.lyrrc");
  const std::string inB = put("b");
  m_rcPath.set(m_scratch / "a" + ";" + m_scratch / "b");
  EXPECT_EQ(inB, productRcFile(m_lyr));
  // Names are spelt in lower case: .LYRRC is another file.
  std::filesystem::remove(inB);
  m_scratch.writeFile("b/.LYRRC", "-op x\n");
  EXPECT_EQ("", productRcFile(m_lyr));
  // Other products look for their own name.
  const std::string pp = m_scratch.writeFile("b/.lyrpprc", "-op x\n");
  EnvironmentVariable ppPath("LYRPPRCPATH", m_scratch / "b");
  EXPECT_EQ(pp, productRcFile(C_Product("lyrpp")));
}

TEST(LanguageNamePartsTest, PartsOfEachKind) {
  struct Case {
    QL_EncodingKind kind;
    std::string locale;
    std::vector<std::string> parts;
  };
  const Case cases[] = {
      {eceUTF, "ja_JP", {"ja", "ja_JP"}}, {eceUTF, "de", {"de"}},
      {eceUTF, "jap", {"ja", "jap"}},     {eceNone, "ja_JP", {}},
      {eceEUC, "", {"jp.euc"}},           {eceSJIS, "", {"jp.sj"}},
      {eceNewJIS, "", {"jp."}},           {eceInvalid, "", {"jp."}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.parts, languageNameParts(".", c.kind, c.locale)) << c.kind << " " << c.locale;
  EXPECT_EQ(std::vector<std::string>{"jp_sj"}, languageNameParts("_", eceSJIS));
}

TEST_F(ProductEnvironmentTest, LanguageVariantCandidates) {
  const std::string base = m_scratch / "bin/lyr";
  struct Case {
    const char *label;
    std::vector<std::string> parts;
    std::vector<std::string> present;
    std::string expected;
  };
  const Case cases[] = {
      {"EUC variant present", {"jp.euc"}, {"lyr.jp.euc.msg", "lyr.msg"}, base + ".jp.euc.msg"},
      {"EUC variant absent", {"jp.euc"}, {"lyr.msg"}, base + ".msg"},
      {"nothing present: the plain name", {"jp.euc"}, {}, base + ".msg"},
      {"last part first", {"ja", "ja_JP"}, {"lyr.ja.msg", "lyr.ja_JP.msg"}, base + ".ja_JP.msg"},
      {"then the one before", {"ja", "ja_JP"}, {"lyr.ja.msg"}, base + ".ja.msg"},
      {"no parts", {}, {"lyr.jp.euc.msg"}, base + ".msg"},
  };
  for (const Case &c : cases) {
    for (const auto &entry : std::filesystem::directory_iterator(m_scratch / "bin"))
      std::filesystem::remove_all(entry.path());
    for (const std::string &name : c.present)
      m_scratch.writeFile("bin/" + name, "msg");
    EXPECT_EQ(c.expected, findLanguageVariant(base, "msg", c.parts)) << c.label;
  }
  // A directory of a candidate's name is no message file.
  m_scratch.makeDirectory("bin/lyr.jp.sj.msg");
  EXPECT_EQ(base + ".msg", findLanguageVariant(base, "msg", {"jp.sj"}));
}

TEST_F(ProductEnvironmentTest, MessageFileFollowsTheProductLanguage) {
  const std::string bin = m_scratch / "bin";
  m_scratch.writeFile("bin/lyr.msg");
  m_scratch.writeFile("bin/lyr.jp.euc.msg");
  m_scratch.writeFile("bin/lyr.ja.msg");
  struct Case {
    const char *lang;
    std::string expected;
  };
  const Case cases[] = {
      {"C", bin + "/lyr.msg"},
      {"ja_JP.eucJP", bin + "/lyr.jp.euc.msg"},
      {"ja_JP.SJIS", bin + "/lyr.msg"},
      {"ja_JP.UTF-8", bin + "/lyr.ja.msg"},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    EXPECT_EQ(c.expected, productMessageFile(m_lyr)) << c.lang;
  }
  m_lang.set("C");
  EXPECT_EQ(bin + "/lyr.msg", productMessageFile());
  EnvironmentVariable kefBin("KEFBIN", bin);
  EXPECT_EQ(bin + "/kef.msg", productMessageFile(C_Product("kef")));
}

TEST_F(ProductEnvironmentTest, UserMessageFile) {
  const std::string bin = m_scratch / "bin", mine = m_scratch.makeDirectory("mine");
  struct Case {
    const char *label;
    const char *lang;
    std::optional<std::string> usrPath;
    std::vector<std::string> present;
    std::string expected;
  };
  const Case cases[] = {
      {"no usrpath: the installation directory", "C", std::nullopt, {}, bin + "/lyr.usr.S"},
      {"usrpath holds the file", "C", mine, {"mine/lyr.usr.S", "bin/lyr.usr.S"}, mine + "/lyr.usr.S"},
      {"usrpath without it: the installation directory", "C", mine, {"bin/lyr.usr.S"}, bin + "/lyr.usr.S"},
      {"found nowhere: the installation directory", "C", mine, {}, bin + "/lyr.usr.S"},
      {"language variant", "ja_JP.eucJP", mine, {"mine/lyr.usr.jp.euc.S"}, mine + "/lyr.usr.jp.euc.S"},
      {"language variant in the installation directory",
       "ja_JP.eucJP",
       mine,
       {"bin/lyr.usr.jp.euc.S"},
       bin + "/lyr.usr.jp.euc.S"},
  };
  for (const Case &c : cases) {
    for (const std::string dir : {"bin", "mine"})
      for (const auto &entry : std::filesystem::directory_iterator(m_scratch / dir))
        std::filesystem::remove_all(entry.path());
    for (const std::string &name : c.present)
      m_scratch.writeFile(name, "usr");
    m_lang.set(c.lang);
    EXPECT_EQ(c.expected, userMessageFile(m_lyr, c.usrPath, "S")) << c.label;
  }
  m_lang.set("C");
  EXPECT_EQ(mine + "/lyr.usr.T", findUserFileIn(m_lyr, mine, "T"));
  EXPECT_EQ(bin + "/lyr.usr.T", findProductFile("T", mine));
}

TEST_F(ProductEnvironmentTest, UserMessageFileOfAnArgumentSet) {
  const std::string bin = m_scratch / "bin", mine = m_scratch.makeDirectory("mine");
  m_scratch.writeFile("mine/lyr.usr.S");
  C_CmdArgs args("lyr", 0, nullptr);
  give(args.options()->usrFile(), "S");
  EXPECT_EQ(bin + "/lyr.usr.S", userMessageFile(args));
  give(args.options()->usrPath(), mine);
  EXPECT_EQ(mine + "/lyr.usr.S", userMessageFile(args));
  // Given but empty: the file is looked for by its bare name first.
  give(args.options()->usrPath(), "=");
  EXPECT_EQ(bin + "/lyr.usr.S", userMessageFile(args));
  {
    CurrentDirectory here(mine);
    EXPECT_EQ("lyr.usr.S", userMessageFile(args));
  }
  C_setCurrentCmdArgs(args);
  EXPECT_EQ(bin + "/lyr.usr.S", userMessageFile());
}

TEST_F(ProductEnvironmentTest, ImplicitHeaderLocations) {
  const std::string header = m_scratch / "bin/implicit.h";
  const C_CmdArgs args("lyr", 0, nullptr);
  const std::int32_t lines[ImplicitHeaderKinds] = {1, 11, 21, 35, 45, 54, 65};
  for (std::int32_t kind = 0; kind < ImplicitHeaderKinds; ++kind) {
    const U_Location location = implicitHeaderLocation(args, kind);
    ASSERT_TRUE(location.isSet());
    EXPECT_EQ(header, location.getFile().canonical().str());
    EXPECT_EQ(header, location.getFile().given().str());
    EXPECT_EQ(lines[kind], location.getLine());
    EXPECT_EQ(0, location.getColumn());
    // Built once: the same object, whatever the environment says later.
    EXPECT_EQ(location, implicitHeaderLocation(args, kind));
  }
  m_bin.set(std::nullopt);
  EXPECT_EQ(header, implicitHeaderLocation(args, 0).getFile().canonical().str());
  EXPECT_THROW(implicitHeaderLocation(args, 7), U_AssertException);
  EXPECT_THROW(implicitHeaderLocation(args, -1), U_AssertException);
}

TEST_F(ProductEnvironmentTest, ImplicitHeaderWithoutInstallationDirectory) {
  const C_CmdArgs args("lyr", 0, nullptr);
  m_bin.set(std::nullopt);
  EXPECT_THROW(implicitHeaderLocation(args, 0), C_ConfigurationException);
  // The failure is not kept: the location is built once the directory is known.
  m_bin.set(m_scratch / "bin");
  EXPECT_EQ(m_scratch / "bin/implicit.h", implicitHeaderLocation(args, 0).getFile().canonical().str());
}

TEST_F(ProductEnvironmentTest, AlwaysFirstBuildsAfreshEachTime) {
  C_CmdArgs args("lyr", 0, nullptr);
  args.options()->debug().add("always-first");
  const U_Location first = implicitHeaderLocation(args, 0);
  const U_Location second = implicitHeaderLocation(args, 0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(U_sameLocation(first, second));
  C_setCurrentCmdArgs(args);
  EXPECT_NE(currentImplicitHeaderLocation(0), currentImplicitHeaderLocation(0));
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
  const U_Location kept = currentImplicitHeaderLocation(0);
  EXPECT_EQ(kept, currentImplicitHeaderLocation(0));
}

} // namespace
