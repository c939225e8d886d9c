#include "foundation/Codecs.h"

#include "cmdline/ConfigurationException.h"
#include "cmdline/Product.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTextCodec>

#include <cstdlib>
#include <optional>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

TEST(CodecsTest, CodecOfEachKind) {
  struct Case {
    QL_EncodingKind kind;
    const char *codecName; // nullptr: no codec
  };
  const Case cases[] = {
      {eceInvalid, nullptr},
      {eceNone, nullptr},
      {eceEUC, "EUC-JP"},
      {eceSJIS, "Shift_JIS"},
      {eceOldJIS, nullptr},
      {eceNewJIS, nullptr},
      {eceNECJIS, nullptr},
      {eceUTF, "UTF-8"},
      {static_cast<QL_EncodingKind>(8), nullptr},
      {static_cast<QL_EncodingKind>(-1), nullptr},
  };
  for (const Case &c : cases) {
    QTextCodec *codec = QL_codecForKind(c.kind);
    if (!c.codecName) {
      EXPECT_EQ(nullptr, codec) << c.kind;
      continue;
    }
    ASSERT_NE(nullptr, codec) << c.kind;
    EXPECT_EQ(QTextCodec::codecForName(c.codecName), codec) << c.kind;
  }
}

class CodecPluginsTest : public testing::Test {
protected:
  void SetUp() override {
    m_qtDir.makeDirectory("plugins");
    QL_resetCodecPlugins();
  }
  void TearDown() override { QL_resetCodecPlugins(); }

  static int indexOf(const std::string &directory) {
    return QCoreApplication::libraryPaths().indexOf(QDir(QString::fromStdString(directory)).canonicalPath());
  }

  ScratchDirectory m_install;
  ScratchDirectory m_qtDir;
  EnvironmentVariable m_bin{"LYRBIN", m_install.path()};
  EnvironmentVariable m_qt{"TOLV_QTDIR", m_qtDir.path()};
  EnvironmentVariable m_map{"UNICODEMAP_JP", std::nullopt};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", std::nullopt};
  C_Product m_product{"lyr"};
};

TEST_F(CodecPluginsTest, RegistersDirectoriesSetsTheMapAndFindsTheCodecs) {
  EXPECT_TRUE(loadCodecPlugins(m_product));
  const char *map = std::getenv("UNICODEMAP_JP");
  ASSERT_NE(nullptr, map);
  EXPECT_STREQ("open-ms", map);
  // The installation directory is searched before the Qt directory's plug-ins.
  const int install = indexOf(m_install.path());
  const int qt = indexOf(m_qtDir / "plugins");
  ASSERT_NE(-1, install);
  ASSERT_NE(-1, qt);
  EXPECT_LT(install, qt);
}

TEST_F(CodecPluginsTest, DoneOncePerProcessUnlessNoLangCacheIsSet) {
  EXPECT_TRUE(loadCodecPlugins(m_product));
  m_map.set(std::nullopt);
  m_bin.set(std::nullopt);
  EXPECT_TRUE(loadCodecPlugins(m_product)); // the kept result; nothing looked up
  EXPECT_EQ(nullptr, std::getenv("UNICODEMAP_JP"));

  QL_resetCodecPlugins();
  m_noCache.set("1");
  m_bin.set(m_install.path());
  EXPECT_TRUE(loadCodecPlugins(m_product));
  m_map.set(std::nullopt);
  EXPECT_TRUE(loadCodecPlugins(m_product));
  EXPECT_NE(nullptr, std::getenv("UNICODEMAP_JP"));
  m_bin.set(std::nullopt);
  EXPECT_THROW(loadCodecPlugins(m_product), C_ConfigurationException);
}

TEST_F(CodecPluginsTest, MissingInstallationDirectoryIsNotKept) {
  m_bin.set(std::nullopt);
  EXPECT_THROW(loadCodecPlugins(m_product), C_ConfigurationException);
  EXPECT_THROW(loadCodecPlugins(m_product), C_ConfigurationException);
  m_bin.set(m_install.path());
  EXPECT_TRUE(loadCodecPlugins(m_product));
}

} // namespace
