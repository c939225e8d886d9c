// The run's main file and output directory, converted and pooled for the
// query interface.
#include "foundation/CurrentFileNames.h"

#include "anlsrslt/model/CurrentFile.h"
#include "foundation/StringStore.h"
#include "support/Bytes.h"
#include "support/ProductFixture.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

// The main file's canonical name and the output directory hold EUC text A4 A2
// for the tests and go back to what they were.
class CurrentFileNamesTest : public test_support::ProductFixture {
protected:
  CurrentFileNamesTest()
      : m_savedFile(std::exchange(P_currentFilenames(), QL_Filename(m_file, "given.c"))),
        m_savedDirectory(std::exchange(P_outputDirectory(), m_directory)) {}
  ~CurrentFileNamesTest() override {
    P_currentFilenames() = m_savedFile;
    P_outputDirectory() = m_savedDirectory;
  }

  const std::string m_file = "/src/" + BYTES("\xA4\xA2") + ".c";
  const std::string m_directory = "/out/" + BYTES("\xA4\xA2");
  QL_Filename m_savedFile;
  std::string m_savedDirectory;
};

TEST_F(CurrentFileNamesTest, NamesAreConvertedAndPooled) {
  struct Case {
    const char *lang;
    std::string external; // the internal text A4 A2 in the language's encoding
  };
  const Case cases[] = {
      {"ja_JP.eucJP", BYTES("\xA4\xA2")},
      {"ja_JP.SJIS", BYTES("\x82\xA0")},
      {"ja_JP.UTF-8", BYTES("\xE3\x81\x82")},
  };
  for (const Case &c : cases) {
    m_lang.set(c.lang);
    const char *file = P_currentCanonicalFileName();
    EXPECT_EQ("/src/" + c.external + ".c", file) << c.lang << ": the canonical name, not the given one";
    EXPECT_EQ(file, P_currentCanonicalFileName()) << c.lang << ": one pooled copy";
    EXPECT_EQ(internString(file), file) << c.lang;
    const char *directory = P_outputDirectoryName();
    EXPECT_EQ("/out/" + c.external, directory) << c.lang;
    EXPECT_EQ(internString(directory), directory) << c.lang;
  }
}

TEST_F(CurrentFileNamesTest, TheInternalEncodingLeavesTheTextsAsTheyAre) {
  m_lang.set("ja_JP.SJIS");
  EXPECT_EQ(internString(m_file.c_str()), P_currentCanonicalFileNameAs(eceEUC));
  EXPECT_EQ(internString(m_directory.c_str()), P_outputDirectoryNameAs(eceEUC));
  EXPECT_EQ(BYTES("/out/\xE3\x81\x82"), P_outputDirectoryNameAs(eceUTF)) << "any kind asked for";

  m_lang.set("ja_JP.eucJP");
  EXPECT_EQ(P_outputDirectoryNameAs(eceEUC), P_outputDirectoryName())
      << "the same pointer when the default kind changes nothing";
  EXPECT_EQ(P_currentCanonicalFileNameAs(eceEUC), P_currentCanonicalFileName());
}

} // namespace
