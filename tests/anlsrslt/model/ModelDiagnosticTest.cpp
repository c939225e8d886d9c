// Model diagnostics: new findings of the checks and diagnostics read back
// from an error file, each with the proxy of its file.
#include "anlsrslt/model/ModelDiagnostic.h"

#include "anlsrslt/model/RecordTokens.h"

#include "support/CurrentArguments.h"
#include "support/IncludeRecords.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::CurrentArguments;
using test_support::ScratchDirectory;

TEST(ModelDiagnosticTest, NewFindingIsAtThePositionOfTheCanonicallyNamedFile) {
  const char *file = "/model-diagnostic/new/a.c";
  const U_RefPtr<P_Diagnostic> finding = new P_Diagnostic(1234, file, 17, 5);
  ASSERT_TRUE(finding->m_diagnostic.isSet());
  EXPECT_EQ(1234u, finding->m_diagnostic->getNumber());
  EXPECT_EQ(0, finding->m_diagnostic->getParameterCount());
  const U_Location &location = finding->m_diagnostic->getLocation();
  ASSERT_TRUE(location.isSet());
  EXPECT_EQ(17, location.getLine());
  EXPECT_EQ(5, location.getColumn());
  EXPECT_EQ(file, location.getFile().canonical().str());
  EXPECT_EQ(file, location.getFile().given().str()) << "the name as given, as both names";
  EXPECT_FALSE(location.hasInclLoc()) << "no include record names the file";
  EXPECT_STREQ(file, finding->m_filename->name());
}

TEST(ModelDiagnosticTest, NewFindingCarriesTheIncludeChainOfItsFile) {
  const auto include = [](const char *from, const char *to, std::int32_t line) {
    test_support::readIncludeRecord(QL_Filename(from, from), QL_Filename(to, to), line);
  };
  include("/model-diagnostic/chain/main.c", "/model-diagnostic/chain/a.h", 3);
  include("/model-diagnostic/chain/a.h", "/model-diagnostic/chain/b.h", 7);

  const U_RefPtr<P_Diagnostic> finding = new P_Diagnostic(9, "/model-diagnostic/chain/b.h", 12, 0);
  const U_Location &location = finding->m_diagnostic->getLocation();
  ASSERT_TRUE(location.hasInclLoc());
  const U_Location site = location.getInclLoc();
  EXPECT_EQ("/model-diagnostic/chain/a.h", site.getFile().canonical().str());
  EXPECT_EQ(7, site.getLine());
  ASSERT_TRUE(site.hasInclLoc());
  EXPECT_EQ("/model-diagnostic/chain/main.c", site.getInclLoc().getFile().canonical().str());
  EXPECT_EQ(3, site.getInclLoc().getLine());
}

TEST(ModelDiagnosticTest, NewFindingInADirectoryThatDoesNotExistKeepsTheNameAsGiven) {
  // Files of a primary analysis that ran elsewhere, as record lines name
  // them: the model keeps each name as written (backslashes turned), and a
  // finding there is reported under that name, as part of that file.
  struct Case {
    const char *token;
    const char *name;
  };
  const Case cases[] = {
      {"model-diagnostic-gone/a.h", "model-diagnostic-gone/a.h"},
      {"/model-diagnostic-gone/./a.h", "/model-diagnostic-gone/./a.h"},
      {"C:\\model-diagnostic-gone\\a.h", "C:/model-diagnostic-gone/a.h"},
  };
  const QL_Filename main("/model-diagnostic/gone/main.c", "/model-diagnostic/gone/main.c");
  for (const Case &c : cases) {
    U_RefPtr<FilenameProxy> header;
    P_readFilenameProxy(c.token, header);
    ASSERT_STREQ(c.name, header->name()) << c.token;
    test_support::readIncludeRecord(main, header->filename(), 4);

    const U_RefPtr<P_Diagnostic> finding = new P_Diagnostic(5, header->name(), 9, 0);
    const U_Location &location = finding->m_diagnostic->getLocation();
    EXPECT_EQ(c.name, location.getFile().canonical().str()) << c.token;
    EXPECT_EQ(c.name, location.getFile().given().str()) << c.token;
    EXPECT_EQ(header, finding->m_filename) << c.token << ": the model's own file";
    EXPECT_EQ(header->filename(), location.getFile()) << c.token;
    ASSERT_TRUE(location.hasInclLoc()) << c.token;
    EXPECT_EQ(main, location.getInclLoc().getFile()) << c.token;
    EXPECT_EQ(4, location.getInclLoc().getLine()) << c.token;
  }
  // No name ends the run: the empty one and none at all are taken as given.
  for (const char *file : {"", static_cast<const char *>(nullptr)}) {
    const U_RefPtr<P_Diagnostic> finding = new P_Diagnostic(5, file, 1, 0);
    EXPECT_EQ("", finding->m_diagnostic->getLocation().getFile().canonical().str());
  }
}

TEST(ModelDiagnosticTest, ReadBackDiagnosticIsSharedAndNamesItsFileCanonically) {
  ScratchDirectory scratch;
  scratch.makeDirectory("sub");
  scratch.writeFile("a.c");
  // The error file's canonical text, made canonical once more.
  const U_RefPtr<M_Diagnostic> read =
      new M_Diagnostic(77, U_Location(QL_Filename(scratch / "sub/../a.c", "a.c"), 4, 2));
  const U_RefPtr<FilenameProxy> proxy = P_filenameProxyFor(QL_Filename::fromPath(scratch / "a.c"));
  const std::uint32_t proxyCount = proxy->referenceCount();
  {
    const U_RefPtr<P_Diagnostic> diagnostic = new P_Diagnostic(read);
    EXPECT_EQ(read, diagnostic->m_diagnostic) << "the read diagnostic itself";
    EXPECT_EQ(2u, read->referenceCount());
    EXPECT_EQ(proxy, diagnostic->m_filename);
    EXPECT_STREQ((scratch / "a.c").c_str(), diagnostic->m_filename->name());
    EXPECT_EQ(proxyCount + 1, proxy->referenceCount());
  }
  EXPECT_EQ(1u, read->referenceCount()) << "released with the model diagnostic";
  EXPECT_EQ(proxyCount, proxy->referenceCount());
}

TEST(ModelDiagnosticTest, ReadBackDiagnosticWithoutLocationIsKeptWithTheEmptyPath) {
  struct Case {
    std::vector<std::string> words;
    std::string report;
  };
  const Case cases[] = {
      {{}, ""},
      {{"-debug", "always_read_errors"}, "Diagnostic without location read back: Msg=55\n"},
  };
  for (const Case &c : cases) {
    CurrentArguments arguments(c.words);
    const U_RefPtr<M_Diagnostic> read = new M_Diagnostic(55);
    testing::internal::CaptureStdout();
    const U_RefPtr<P_Diagnostic> diagnostic = new P_Diagnostic(read);
    EXPECT_EQ(c.report, testing::internal::GetCapturedStdout()) << testing::PrintToString(c.words);
    EXPECT_EQ(read, diagnostic->m_diagnostic);
    ASSERT_TRUE(diagnostic->m_filename.isSet());
    EXPECT_STREQ("", diagnostic->m_filename->name());
    EXPECT_EQ(diagnostic->m_filename, P_filenameProxyFor(QL_Filename("", "")))
        << "one proxy for every such one";
  }
}

} // namespace
