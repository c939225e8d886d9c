// A test fixture for code that depends on the current product's language:
// product "lyr" with an empty installation of its own, its language taken
// from LANG afresh on every call, and scratch directories for input files and
// for temporary translated copies.
#pragma once

#include "cmdline/Product.h"
#include "foundation/Codecs.h"
#include "foundation/Language.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace test_support {

class ProductFixture : public testing::Test {
protected:
  explicit ProductFixture(const char *lang = "ja_JP.eucJP") : m_lang("LANG", std::string(lang)) {}

  void SetUp() override { resetCaches(); }
  void TearDown() override { resetCaches(); }

  // Writes a new file with exactly these bytes and returns its path.
  std::string fixture(const std::string &bytes, const std::string &extension = ".txt") {
    return m_files.writeFile("file" + std::to_string(++m_serial) + extension, bytes);
  }

  ScratchDirectory m_install;
  ScratchDirectory m_files;
  ScratchDirectory m_temp;
  EnvironmentVariable m_bin{"LYRBIN", m_install.path()};
  EnvironmentVariable m_lang;
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", std::string("1")};
  EnvironmentVariable m_tmp{"TMP", m_temp.path()};
  EnvironmentVariable m_tempFiles{"LYRTEMPFILES", m_temp.path()};
  C_Product m_product{"lyr"};

private:
  static void resetCaches() {
    QL_resetLanguageCaches();
    QL_resetCodecPlugins();
  }

  int m_serial = 0;
};

} // namespace test_support
