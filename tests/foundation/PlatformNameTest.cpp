#include "foundation/PlatformName.h"

#include "cmdline/Product.h"
#include "foundation/Codecs.h"
#include "foundation/FileSystem.h"
#include "foundation/Language.h"
#include "foundation/PathText.h"
#include "foundation/TempFileName.h"
#include "foundation/TextConversion.h"
#include "foundation/TranslateException.h"
#include "support/Bytes.h"
#include "support/ProductFixture.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

// "a" HIRAGANA, "so" KATAKANA (its Shift_JIS trail byte is "\"), ".c".
const std::string eucName = BYTES("\xA4\xA2\xA5\xBD.c");
const std::string sjisName = BYTES("\x82\xA0\x83\x5C.c");
const std::string utf8Name = BYTES("\xE3\x81\x82\xE3\x82\xBD.c");

TEST(PlatformNameWithoutProductTest, NamesPassUnchanged) {
  // Holds only while no test of this process has made a product.
  if (C_currentProduct() != nullptr)
    GTEST_SKIP() << "a current product exists already";
  EXPECT_EQ(eucName, nameForPlatform(eucName));
  EXPECT_EQ(sjisName, nameFromPlatform(sjisName));
}

class PlatformNameTest : public test_support::ProductFixture {
protected:
  PlatformNameTest() : ProductFixture("ja_JP.SJIS") {}
};

TEST_F(PlatformNameTest, NamesTakeTheProductLanguagesEncoding) {
  struct Case {
    const char *lang;
    std::string platform;
  };
  const Case cases[] = {
      {"ja_JP.SJIS", sjisName},
      {"ja_JP.UTF-8", utf8Name},
      {"ja_JP.eucJP", eucName},
      {"C", eucName},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    EXPECT_EQ(c.platform, nameForPlatform(eucName)) << c.lang;
    EXPECT_EQ(eucName, nameFromPlatform(c.platform)) << c.lang;
    std::string converted;
    EXPECT_EQ(c.platform, nameForPlatform(eucName, converted)) << c.lang;
  }
}

TEST_F(PlatformNameTest, PrintableAsciiReadsTheSameInEveryLanguage) {
  std::string ascii;
  for (int b = 0x20; b <= 0x7E; ++b)
    ascii += static_cast<char>(b);
  for (const char *lang : {"ja_JP.SJIS", "ja_JP.UTF-8", "ja_JP.eucJP"}) {
    m_lang.set(lang);
    EXPECT_EQ(ascii, QL_fromInternal(ascii)) << lang;
    EXPECT_EQ(ascii, QL_toInternal(ascii)) << lang;
    EXPECT_EQ(ascii, nameForPlatform(ascii)) << lang;
    // The form without a copy gives the name itself.
    std::string converted;
    EXPECT_EQ(&ascii, &nameForPlatform(ascii, converted)) << lang;
  }
}

TEST_F(PlatformNameTest, NamesPassUnchangedWhileConversionIsHeldOff) {
  {
    QL_UnconvertedNames outer;
    {
      QL_UnconvertedNames inner;
      EXPECT_EQ(eucName, nameForPlatform(eucName));
    }
    // Leaving the inner scope keeps the outer one in force.
    EXPECT_EQ(eucName, nameForPlatform(eucName));
    EXPECT_EQ(sjisName, nameFromPlatform(sjisName));
  }
  EXPECT_EQ(sjisName, nameForPlatform(eucName));
}

// A name that the conversion into the internal encoding would change is an
// error that names it, never another name.
TEST_F(PlatformNameTest, NameThatDoesNotSurviveTheConversionIsAnError) {
  struct Case {
    const char *lang;
    std::string name;
    std::string internal; // empty: refused, and shown as in the message
    std::string shown = {};
  };
  const Case cases[] = {
      {"ja_JP.UTF-8", utf8Name, eucName},
      {"ja_JP.UTF-8", "plain/a.c", "plain/a.c"},
      {"ja_JP.UTF-8", BYTES("\xC0\xAF"), "", "(UTF-8): '\\xC0\\xAF'"},
      {"ja_JP.UTF-8", BYTES("dir/\xFF\xFE.c"), "", "(UTF-8): 'dir/\\xFF\\xFE.c'"},
      // Valid UTF-8, but no character of the internal encoding.
      {"ja_JP.UTF-8", BYTES("\xF0\x9F\x98\x80.c"), "", "(UTF-8): '\\xF0\\x9F\\x98\\x80.c'"},
      {"ja_JP.SJIS", sjisName, eucName},
      // A user-defined character, and a byte that is no lead byte before a
      // half-width katakana.
      {"ja_JP.SJIS", BYTES("\xF0\x40"), "", "(Shift_JIS): '\\xF0@'"},
      {"ja_JP.SJIS", BYTES("\xFD\xA1"), "", "(Shift_JIS): '\\xFD\\xA1'"},
      {"ja_JP.eucJP", BYTES("\xFF\xFE"), BYTES("\xFF\xFE")},
      {"C", BYTES("\xC0\xAF"), BYTES("\xC0\xAF")},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    const std::string label = std::string(c.lang) + " " + testing::PrintToString(c.name);
    if (!c.internal.empty()) {
      EXPECT_EQ(c.internal, QL_nameToInternal(m_product, c.name)) << label;
      EXPECT_EQ(c.internal, nameFromPlatform(c.name)) << label;
      continue;
    }
    const std::string text = "\nERROR: File name not valid in the product's encoding " + c.shown + "\n\n";
    for (const bool fromPlatform : {false, true}) {
      try {
        (void)(fromPlatform ? nameFromPlatform(c.name) : QL_nameToInternal(m_product, c.name));
        ADD_FAILURE() << label << ": no exception";
      } catch (const QL_InvalidNameException &e) {
        EXPECT_EQ(text, e.what()) << label;
        EXPECT_EQ(10, e.exitCode()) << label;
      }
    }
  }
}

TEST_F(PlatformNameTest, LanguageIsFoundThroughAnInstallationDirectoryWithAShiftJisName) {
  // The ini file names the language; the directory that holds it is given in
  // the platform's encoding and must be used as it is, not converted again.
  const std::string install = m_install.makeDirectory(sjisName);
  m_install.writeFile(sjisName + "/LYR.ini", "[Japanese]\nZUT_LANG=ja_JP.SJIS\n");
  m_bin.set(install);
  m_lang.set("C");
  EXPECT_EQ(sjisName, nameForPlatform(eucName));
  EXPECT_EQ(eucName, nameFromPlatform(sjisName));
}

TEST_F(PlatformNameTest, FileOperationsSeeTheFileByItsInternalName) {
  ScratchDirectory files;
  files.makeDirectory(sjisName);
  files.writeFile(sjisName + "/" + sjisName, "x");
  const std::string dir = QL_joinPath(files.path(), eucName);
  const std::string file = QL_joinPath(dir, eucName);
  EXPECT_TRUE(QL_isDirectory(dir));
  EXPECT_TRUE(QL_isRegularFile(file));
  EXPECT_TRUE(QL_isReadableFile(file));
  EXPECT_FALSE(QL_exists(QL_joinPath(files.path(), sjisName + "x")));
  EXPECT_EQ(file, QL_canonicalPath(file));

  // A temporary name made there comes back in the internal encoding.
  const std::string temp = makeTempFileName(dir);
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(dir, QL_dirname(temp));
  EXPECT_TRUE(std::filesystem::exists(nameForPlatform(temp)));
  std::filesystem::remove(nameForPlatform(temp));
}

} // namespace
