#include "cmdline/ProductEnvironment.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/Exception.h"

#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

TEST(ProductEnvironmentTest, InstallationDirectory) {
  const C_Product lyr("lyr");
  EXPECT_EQ("LYRBIN", productBinVariableName(lyr));
  EXPECT_EQ("LYRPPBIN", productBinVariableName(C_Product("lyrpp")));
  const struct {
    std::optional<std::string> value;
    std::string expected;
  } cases[] = {
      {"C:\\tools\\bin", "C:/tools/bin"},
      {"/opt/lyr/bin/", "/opt/lyr/bin/"},
      {"", ""},
  };
  EnvironmentVariable bin("LYRBIN", std::nullopt);
  for (const auto &c : cases) {
    bin.set(c.value);
    EXPECT_TRUE(hasProductBinDir(lyr));
    EXPECT_EQ(c.expected, productBinDir(lyr));
    EXPECT_EQ(c.expected, currentProductBinDir(lyr));
  }
  bin.set(std::nullopt);
  EXPECT_FALSE(hasProductBinDir(lyr));
  EXPECT_FALSE(hasProductBinDir(C_Product("nothing")));
  try {
    productBinDir(lyr);
    FAIL() << "no exception";
  } catch (const C_ConfigurationException &e) {
    EXPECT_STREQ("\nERROR: LYRBIN environment variable not found\n", e.what());
    EXPECT_EQ(10, e.exitCode());
  }
}

class TempDirTest : public testing::Test {
protected:
  ScratchDirectory m_scratch;
  EnvironmentVariable m_tempFiles{"LYRTEMPFILES", std::nullopt};
  EnvironmentVariable m_tmp{"TMP", std::nullopt};
  const C_Product m_lyr{"lyr"};

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
  m_tempFiles.set(missing);
  m_tmp.set(m_scratch.path()); // not consulted
  EXPECT_EQ("Error finding temporary directory:\n"
            "\tTried directory from environment variable LYRTEMPFILES: " +
                missing + "\n",
            failureText());
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

TEST_F(TempDirTest, ImplicitHeaderFile) {
  const std::string bin = m_scratch.makeDirectory("bin");
  EnvironmentVariable lyrBin("LYRBIN", bin + "/");
  const C_CmdArgs args("lyr", 0, nullptr);
  const QL_Filename header = implicitHeaderFile(args);
  EXPECT_EQ(bin + "/implicit.h", header.canonical().str());
  EXPECT_EQ(bin + "/implicit.h", header.given().str());
  lyrBin.set(std::nullopt);
  EXPECT_THROW(implicitHeaderFile(args), C_ConfigurationException);
}

} // namespace
