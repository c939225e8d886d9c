#include "resultfiles/RecordFileFormat.h"

#include "cmdline/PrintableFileName.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/PathText.h"
#include "platform/FileSystem.h"
#include "support/CurrentArguments.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::CurrentArgumentsTest;

struct Case {
  const char *call;
  std::string actual;
  std::string expected;
};

void expectAll(const std::vector<Case> &cases) {
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, c.actual) << c.call;
}

TEST(RecordFileFormatTest, CodeTables) {
  expectAll({
      {"scope 0", metricScopeLetter(0), "F"},
      {"scope 1", metricScopeLetter(1), "B"},
      {"scope 2", metricScopeLetter(2), "C"},
      {"scope 3", metricScopeLetter(3), "P"},
      {"scope 4", metricScopeLetter(4), "T"},
      {"scope 5", metricScopeLetter(5), "R"},
      {"scope 6", metricScopeLetter(6), "S"},
      {"scope 7", metricScopeLetter(7), "-"},
      {"scope max", metricScopeLetter(0xFFFFFFFF), "-"},
      {"define kind 0", defineKindCode(0), "DF"},
      {"define kind 1", defineKindCode(1), "DC"},
      {"define kind 2", defineKindCode(2), "DR"},
      {"define kind 3", defineKindCode(3), "DI"},
      {"define kind 4", defineKindCode(4), "DS"},
      {"define kind 5", defineKindCode(5), "DX"},
      {"define kind 6", defineKindCode(6), "DP"},
      {"define kind 7", defineKindCode(7), "DF"},
      {"define kind 8", defineKindCode(8), "??"},
      {"relation 0", std::string(relationKindLetter(0)) + relationKindName(0), "????"},
      {"relation 1", std::string(relationKindLetter(1)) + relationKindName(1), "IIncludes"},
      {"relation 2", std::string(relationKindLetter(2)) + relationKindName(2), "BIs-base-of"},
      {"relation 3", std::string(relationKindLetter(3)) + relationKindName(3), "RHas-by-reference"},
      {"relation 4", std::string(relationKindLetter(4)) + relationKindName(4), "PHas-by-pointer"},
      {"relation 5", std::string(relationKindLetter(5)) + relationKindName(5), "VHas-by-value"},
      {"relation 6", std::string(relationKindLetter(6)) + relationKindName(6), "UUses"},
      {"relation 7", std::string(relationKindLetter(7)) + relationKindName(7), "CCalls"},
      {"relation 8", std::string(relationKindLetter(8)) + relationKindName(8), "XRefers-to"},
      {"relation 9", std::string(relationKindLetter(9)) + relationKindName(9), "????"},
      {"relation 33", std::string(relationKindLetter(33)) + relationKindName(33), "????"},
      {"literal kind -1", literalKindText(-1), ""},
      {"literal kind 0", literalKindText(0), ""},
      {"literal kind 1", literalKindText(1), "DN"},
      {"literal kind 2", literalKindText(2), "HN"},
      {"literal kind 3", literalKindText(3), "ON"},
      {"literal kind 4", literalKindText(4), "FN"},
      {"literal kind 5", literalKindText(5), ""},
      {"literal kind 6", literalKindText(6), "CN"},
      {"literal kind 7", literalKindText(7), "SN"},
      {"literal kind 8", literalKindText(8), "CE"},
      {"literal kind 9", literalKindText(9), "HE"},
      {"literal kind 10", literalKindText(10), "OE"},
      {"literal kind 11", literalKindText(11), "CW"},
      {"literal kind 12", literalKindText(12), "SW"},
      {"literal kind 13", literalKindText(13), "LN"},
      {"literal kind 14", literalKindText(14), ""},
      {"literal types -1 to 13",
       [] {
         std::string letters;
         for (int type = -1; type <= 13; ++type)
           letters += literalTypeLetter(type);
         return letters;
       }(),
       "?TDEBOASCUFXMP?"},
      {"K letters 0 to 3",
       std::string(literalKLetter(0)) + literalKLetter(1) + literalKLetter(2) + literalKLetter(3), "PN-?"},
      {"external kinds 0 to 4",
       std::string(externalKindLetter(0)) + externalKindLetter(1) + externalKindLetter(2) +
           externalKindLetter(3) + externalKindLetter(4),
       "?VDN?"},
      {"allocation 0", allocationKindWord(0), "plain"},
      {"allocation 1", allocationKindWord(1), "array"},
      {"allocation 2", allocationKindWord(2), "old"},
      {"allocation 3", allocationKindWord(3), ""},
  });
}

TEST(RecordFileFormatTest, AccessDigits) {
  expectAll({
      {"0x80", accessDigit(0x80), "1"},
      {"0x40", accessDigit(0x40), "2"},
      {"0x20", accessDigit(0x20), "3"},
      {"0x90", accessDigit(0x90), "5"},
      {"0x30", accessDigit(0x30), "7"},
      {"0x50", accessDigit(0x50), ""},
      {"0x10", accessDigit(0x10), ""},
      {"0x00", accessDigit(0x00), ""},
      {"0xF0", accessDigit(0xF0), ""},
      {"0x8F: low bits ignored", accessDigit(0x8F), "1"},
      {"0x180: high bits ignored", accessDigit(0x180), "1"},
      {"digit1", accessDigit(accessCode(true, false, false, false)), "1"},
      {"digit1 wins over 2 and 3", accessDigit(accessCode(true, true, true, false)), "1"},
      {"digit2", accessDigit(accessCode(false, true, true, false)), "2"},
      {"digit3", accessDigit(accessCode(false, false, true, false)), "3"},
      {"digit1 plus 4", accessDigit(accessCode(true, false, false, true)), "5"},
      {"digit3 plus 4", accessDigit(accessCode(false, false, true, true)), "7"},
      {"digit2 plus 4 has no digit", accessDigit(accessCode(false, true, false, true)), ""},
      {"plus 4 alone", accessDigit(accessCode(false, false, false, true)), ""},
  });
  EXPECT_EQ(0x50u, accessCode(false, true, false, true));
  EXPECT_EQ(0u, accessCode(false, false, false, false));
}

TEST(RecordFileFormatTest, RelationFlagTexts) {
  expectAll({
      {"0 kind 6", relationFlagText(0, 6), "-"},
      {"0 kind 2", relationFlagText(0, 2), "-"},
      {"0x20 kind 6: no letter", relationFlagText(0x20, 6), ""},
      {"0x13 kind 1", relationFlagText(0x13, 1), "RWI"},
      {"0x0F kind 7", relationFlagText(0x0F, 7), "RWVS"},
      {"0x91 kind 2", relationFlagText(0x91, 2), "R5"},
      {"0x50 kind 2", relationFlagText(0x50, 2), ""},
      {"0x1F kind 2: no I for base classes", relationFlagText(0x1F, 2), "RWVS"},
      {"0x38 kind 2", relationFlagText(0x38, 2), "S7"},
      {"0x80 kind 2", relationFlagText(0x80, 2), "1"},
      {"0x80 kind 3: no digit for other kinds", relationFlagText(0x80, 3), ""},
      {"0x100 kind 1", relationFlagText(0x100, 1), ""},
  });
}

TEST(RecordFileFormatTest, FileNamesWithABlankOrATabAreQuoted) {
  expectAll({
      {"plain", quotedFileText("a.c"), "a.c"},
      {"blank", quotedFileText("my dir/a.c"), "\"my dir/a.c\""},
      {"tab", quotedFileText("my\tdir/a.c"), "\"my\tdir/a.c\""},
      {"quotes inside stay", quotedFileText("a \"b\".c"), "\"a \"b\".c\""},
      {"empty", quotedFileText(""), ""},
  });
}

class RecordFileTextTest : public CurrentArgumentsTest {
protected:
  void SetUp() override { resetNativeSlashLookup(); }
  void TearDown() override { resetNativeSlashLookup(); }
};

// The path with the platform's separators.
std::string native(std::string path) {
  for (char &c : path) {
    if (c == '/')
      c = platform::nativeSeparator;
  }
  return path;
}

TEST_F(RecordFileTextTest, FileTextIsThePrintableNameWithNativeSlashesQuoted) {
  struct FileCase {
    std::vector<std::string> words;
    std::string canonical;
    std::string given;
    std::string expected;
  };
  const FileCase cases[] = {
      {{}, "/src/a.c", "a.c", native("/src/a.c")},
      {{}, "/my src/a.c", "a.c", "\"" + native("/my src/a.c") + "\""},
      {{"-debug", "os-independent-slash"}, "/src/a.c", "a.c", "/src/a.c"},
      {{"-debug", "os-independent-slash"}, "/src/a\tb.c", "a.c", "\"/src/a\tb.c\""},
      // The name as written when file names are not expanded.
      {{"-expandfilenames-"}, "/src/b.c", "sub/b.c", native("sub/b.c")},
      {{"-expandfilenames-"}, "/src/c.c", "my sub/c.c", "\"" + native("my sub/c.c") + "\""},
  };
  for (const FileCase &c : cases) {
    setArguments(c.words);
    resetNativeSlashLookup();
    const QL_Filename file(c.canonical, c.given);
    EXPECT_EQ(c.expected, metricFileText(file)) << c.canonical << " " << testing::PrintToString(c.words);
    // Asked again, the same text.
    EXPECT_EQ(c.expected, metricFileText(file)) << c.canonical;
  }
  EXPECT_EQ("", metricFileText(QL_Filename()));
}

TEST_F(RecordFileTextTest, IncludeRelationFileNamesAreWrittenLikeFileTexts) {
  EXPECT_EQ(native("inc/b.h"), metricFileNameText("inc/b.h"));
  EXPECT_EQ("\"" + native("my inc/b.h") + "\"", metricFileNameText("my inc/b.h"));
  setArguments({"-debug", "os-independent-slash"});
  resetNativeSlashLookup();
  EXPECT_EQ("inc/b.h", metricFileNameText("inc/b.h"));
}

TEST_F(RecordFileTextTest, WhereLetterIsNForNamedFilesAndTheImplicitHeader) {
  setArguments({"/src/a.c"});
  const U_Location implicit = currentImplicitHeaderLocation(0);
  expectAll({
      {"named file", whereLetter(U_Location(QL_Filename::fromPath("/src/a.c"), 1, 0)), "N"},
      {"header", whereLetter(U_Location(QL_Filename::fromPath("/src/a.h"), 1, 0)), "I"},
      {"implicit header", whereLetter(U_Location(implicit.getFile(), 9, 0)), "N"},
      {"implicit header by name",
       whereLetter(U_Location(QL_Filename::fromPath(filenameText(implicit.getFile().canonical())), 9, 0)),
       "N"},
  });
}

} // namespace
