#include "foundation/Language.h"

#include "cmdline/ConfigurationException.h"
#include "cmdline/Product.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

TEST(LanguageTest, CodecNameAndKindOfLanguageNames) {
  struct Case {
    const char *name;
    const char *codecName;
    QL_EncodingKind kind;
  };
  const Case cases[] = {
      // The table of known names, letter case significant.
      {"ja", "EUC-JP", eceEUC},
      {"ja_JP", "EUC-JP", eceEUC},
      {"ja_JP.EUC", "EUC-JP", eceEUC},
      {"ja_JP.sdeckanji", "EUC-JP", eceEUC},
      {"japanese.euc", "EUC-JP", eceEUC},
      {"ja_JP.eucJP", "EUC-JP", eceEUC},
      {"Ja_JP", "Shift_JIS", eceSJIS},
      {"ja_JP.SJIS", "Shift_JIS", eceSJIS},
      {"japanese", "Shift_JIS", eceSJIS},
      {"japanese.sjis", "Shift_JIS", eceSJIS},
      {"ja_JP.UTF-8", "UTF-8", eceUTF},
      {"ja_JP.utf8", "UTF-8", eceUTF},
      // Names found by their encoding part.
      {"JA_JP.UTF8", "UTF-8", eceUTF},
      {"ja_jp.utf-8", "UTF-8", eceUTF},
      {"de_DE.euc", "EUC-JP", eceEUC},
      {"en_US.EUC", "EUC-JP", eceEUC},
      // Names that stand for themselves select no conversion.
      {"ja_JP.eucjp", "ja_JP.eucjp", eceNone},
      {"en_US.UTF-8", "en_US.UTF-8", eceNone},
      {"C.UTF-8", "C.UTF-8", eceNone},
      {"C", "C", eceNone},
      {"default", "default", eceNone},
      {"en_US", "en_US", eceNone},
      {"", "", eceNone},
  };
  // Twice: the second round reads the rows that the first one added.
  for (int round = 0; round < 2; ++round) {
    for (const Case &c : cases) {
      EXPECT_EQ(c.codecName, QL_codecNameOfLocale(c.name)) << c.name << " round " << round;
      EXPECT_EQ(c.kind, QL_encodingOfLanguage(c.name)) << c.name << " round " << round;
    }
  }
}

class ProductLanguageTest : public testing::Test {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override { QL_resetLanguageCaches(); }

  ScratchDirectory m_install;
  EnvironmentVariable m_bin{"LYRBIN", m_install.path()};
  EnvironmentVariable m_lang{"LANG", "C.UTF-8"};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", "1"};
  C_Product m_product{"lyr"};
};

TEST_F(ProductLanguageTest, IniKeyThenLangThenDefault) {
  struct Case {
    const char *label;
    std::optional<std::string> ini; // nothing: no ini file
    std::optional<std::string> lang;
    std::string expected;
    QL_EncodingKind kind;
  };
  const Case cases[] = {
      {"ini key wins", "[Japanese]\nZUT_LANG=ja_JP.SJIS\n", "ja_JP.eucJP", "ja_JP.SJIS", eceSJIS},
      {"empty key", "[Japanese]\nZUT_LANG=\n", "ja_JP.UTF-8", "ja_JP.UTF-8", eceUTF},
      {"other section", "[English]\nZUT_LANG=ja\n", "ja_JP.eucJP", "ja_JP.eucJP", eceEUC},
      {"no ini file", std::nullopt, "C.UTF-8", "C.UTF-8", eceNone},
      {"LANG unset", std::nullopt, std::nullopt, "default", eceNone},
      {"LANG set but empty", std::nullopt, "", "", eceNone},
  };
  for (const Case &c : cases) {
    std::filesystem::remove(m_install / "LYR.ini");
    if (c.ini)
      m_install.writeFile("LYR.ini", *c.ini);
    m_lang.set(c.lang);
    EXPECT_EQ(c.expected, QL_productLanguage(m_product)) << c.label;
    EXPECT_EQ(c.kind, QL_languageEncoding(m_product)) << c.label;
  }
}

TEST_F(ProductLanguageTest, WorkedOutOnceUnlessNoLangCacheIsSet) {
  m_noCache.set(std::nullopt);
  m_lang.set("ja_JP.eucJP");
  EXPECT_EQ("ja_JP.eucJP", QL_productLanguage(m_product));
  m_lang.set("ja_JP.SJIS");
  EXPECT_EQ("ja_JP.eucJP", QL_productLanguage(m_product));
  // Setting the variable once the value is kept changes nothing.
  m_noCache.set("");
  EXPECT_EQ("ja_JP.eucJP", QL_productLanguage(m_product));

  QL_resetLanguageCaches();
  EXPECT_EQ("ja_JP.SJIS", QL_productLanguage(m_product));
  m_lang.set("ja_JP.UTF-8");
  EXPECT_EQ("ja_JP.UTF-8", QL_productLanguage(m_product));
}

TEST_F(ProductLanguageTest, MissingInstallationDirectoryIsAConfigurationErrorAndNotKept) {
  m_noCache.set(std::nullopt);
  m_bin.set(std::nullopt);
  m_lang.set("ja_JP.SJIS");
  EXPECT_THROW(QL_productLanguage(m_product), C_ConfigurationException);
  m_bin.set(m_install.path());
  EXPECT_EQ("ja_JP.SJIS", QL_productLanguage(m_product));
}

TEST_F(ProductLanguageTest, UtfTargetFollowsTheLanguage) {
  struct Case {
    const char *lang;
    QL_EncodingKind target;
  };
  const Case cases[] = {
      {"C.UTF-8", eceUTF},     {"en_US.UTF-8", eceUTF}, {"ja_JP.UTF-8", eceEUC},
      {"ja_JP.eucJP", eceEUC}, {"ja_JP.SJIS", eceEUC},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    EXPECT_EQ(c.target, QL_utfTargetEncoding(m_product)) << c.lang;
  }
}

TEST_F(ProductLanguageTest, LocaleNameIsLanguageAndCountryOfLang) {
  struct Case {
    const char *lang;
    const char *expected;
  };
  const Case cases[] = {
      {"ja_JP.UTF-8", "ja_JP"},
      {"ja_JP.eucJP", "ja_JP"},
      {"en_US.UTF-8", "en_US"},
      {"de_DE", "de_DE"},
      {"C", "C"},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    EXPECT_EQ(c.expected, QL_localeName()) << c.lang;
  }
}

} // namespace
