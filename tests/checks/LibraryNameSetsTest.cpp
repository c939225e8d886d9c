// Checks the generated library-name sets (LibraryNameSets.def) by their
// invariants, as they stand once filled.
#include "checks/LibraryNameSets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct NamedSet {
  const char *name;
  const LibraryNameSet &(*set)();
  std::size_t size;
};

const NamedSet kSets[] = {
    {"cStandardHeaders", &cStandardHeaders, 15},
    {"cLibraryNames", &cLibraryNames, 146},
    {"cppStandardHeaders", &cppStandardHeaders, 70},
    {"predefinedMacroNames", &predefinedMacroNames, 5},
    {"cKeywords", &cKeywords, 37},
    {"cppKeywords", &cppKeywords, 63},
    {"cppLibraryNames", &cppLibraryNames, 350},
    {"cLibraryMacroNames", &cLibraryMacroNames, 227},
    {"standardObjectNames", &standardObjectNames, 13},
    {"cLibrarySignatures", &cLibrarySignatures, 222},
    {"directiveNames", &directiveNames, 12},
};

class LibraryNameSetsTest : public ::testing::Test {
protected:
  void SetUp() override { buildLibraryNameSets(); }
};

TEST_F(LibraryNameSetsTest, EachSetHoldsItsNumberOfNames) {
  for (const NamedSet &s : kSets)
    EXPECT_EQ(s.size, s.set().size()) << s.name;
}

TEST_F(LibraryNameSetsTest, NamesArePrintableWordsWithoutTheEndMarker) {
  for (const NamedSet &s : kSets) {
    EXPECT_EQ(0u, s.set().count("L A S T")) << s.name;
    for (const std::string &name : s.set())
      EXPECT_TRUE(!name.empty() &&
                  std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; }))
          << s.name << ": '" << name << "'";
  }
}

TEST_F(LibraryNameSetsTest, WalkIsInByteOrder) {
  const std::vector<std::string> firstKeywords(cKeywords().begin(), std::next(cKeywords().begin(), 4));
  EXPECT_EQ((std::vector<std::string>{"_Bool", "_Complex", "_Imaginary", "auto"}), firstKeywords);
  EXPECT_EQ("while", *cKeywords().rbegin());
  EXPECT_EQ("__DATE__", *predefinedMacroNames().begin());
  EXPECT_EQ("defined", *predefinedMacroNames().rbegin());
}

TEST_F(LibraryNameSetsTest, CAndCppListsDiffer) {
  for (const char *name : {"put", "putc", "putchar", "puts"})
    EXPECT_EQ(1u, cLibraryNames().count(name)) << name;
  EXPECT_EQ(0u, cLibraryNames().count("fgetwc"));
  EXPECT_EQ(1u, cppLibraryNames().count("fgetwc"));
  EXPECT_EQ(1u, cKeywords().count("restrict"));
  EXPECT_EQ(0u, cppKeywords().count("restrict"));
  EXPECT_EQ(1u, cppKeywords().count("wchar_t"));
}

TEST_F(LibraryNameSetsTest, EveryCHeaderIsAlsoACppHeader) {
  for (const std::string &header : cStandardHeaders())
    EXPECT_EQ(1u, cppStandardHeaders().count(header)) << header;
}

TEST_F(LibraryNameSetsTest, EverySignatureNamesALibraryFunction) {
  // name(return type,parameter types...), the name a function of the C++
  // library or an array form of the allocation operators.
  for (const std::string &signature : cLibrarySignatures()) {
    const std::size_t open = signature.find('(');
    ASSERT_NE(std::string::npos, open) << signature;
    EXPECT_GT(open, 0u) << signature;
    EXPECT_EQ(')', signature.back()) << signature;
    EXPECT_EQ(std::count(signature.begin(), signature.end(), '('),
              std::count(signature.begin(), signature.end(), ')'))
        << signature;
    const std::string function = signature.substr(0, open);
    EXPECT_TRUE(cppLibraryNames().count(function) || function == "new[]" || function == "delete[]")
        << signature;
  }
}

TEST_F(LibraryNameSetsTest, SecondFillingLeavesTheSameMembers) {
  std::vector<LibraryNameSet> before;
  for (const NamedSet &s : kSets)
    before.push_back(s.set());
  buildLibraryNameSets();
  for (std::size_t i = 0; i < std::size(kSets); ++i)
    EXPECT_EQ(before[i], kSets[i].set()) << kSets[i].name;
}

} // namespace
