// Runs of the built program over a record file in which a file includes
// itself over and over: each such record makes the include chain of the
// file's positions one step longer, up to the depth that an error file
// carries, and no further. What the run appends to the error file reads back
// (lyrsa_errcount) at the deepest chain and one record past it.
#include "foundation/Location.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::ScratchDirectory;

test_support::ProgramResult run(const ScratchDirectory &scratch, const std::string &program,
                                const std::vector<std::string> &arguments) {
  const std::string installation = std::string(LYR_TEST_DATA_DIR) + "/installation";
  const auto environment = test_support::environmentWith({{"HOME", scratch.path()},
                                                          {"LYRBIN", installation},
                                                          {"LYROUTPATH", std::nullopt},
                                                          {"LYRRCPATH", std::nullopt}});
  return test_support::runProgram(program, arguments, environment, scratch.path(),
                                  test_support::RunBounds{1 << 24, 120});
}

TEST(IncludeChainRunTest, FindingsInAFileThatIncludesItselfReadBack) {
  struct Case {
    std::uint32_t records;
    std::size_t sites; // include steps of each finding's location
  };
  const Case cases[] = {
      {U_maxLocationDepth - 1, U_maxLocationDepth - 1}, // the deepest chain
      {U_maxLocationDepth, 1},                          // one record more starts it again
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::to_string(c.records) + " records");
    const ScratchDirectory scratch;
    scratch.writeFile("a.c", "#include <errno.h>\nint f(void) { return errno; }\n");
    std::string records;
    for (std::uint32_t record = 0; record < c.records; ++record)
      records += "<R>I a.c a.c " + std::to_string(record % 2 + 1) + " -\n";
    scratch.writeFile("a.c.met", records);

    // As text, each finding is followed by the sites of its include chain.
    const test_support::ProgramResult text = run(
        scratch, LYR_PROGRAM_PATH, {"lyr", "-only", "5119", "-only", "1599", "-debug", "textoutput", "a.c"});
    ASSERT_EQ(0, text.exitCode) << text.err;
    std::size_t findings = 0;
    std::size_t sites = 0;
    for (const std::string &line : test_support::lines(text.out)) {
      if (line.find("Msg=1599 ") != std::string::npos)
        ++sites;
      else if (line.find("Msg=5119 ") != std::string::npos)
        ++findings;
      else
        ADD_FAILURE() << line;
    }
    ASSERT_NE(0u, findings);
    EXPECT_EQ(c.sites * findings, sites);

    // Appended to the error file, which then reads back whole.
    const test_support::ProgramResult appended =
        run(scratch, LYR_PROGRAM_PATH, {"lyr", "-only", "5119", "a.c"});
    ASSERT_EQ(0, appended.exitCode) << appended.err;
    const test_support::ProgramResult count = run(scratch, LYR_ERRCOUNT_PATH, {"lyr", "a.c.err"});
    EXPECT_EQ("a.c.err: " + std::to_string(findings) + " messages, 0 suppression records\n", count.out);
    EXPECT_EQ("", count.err);
    EXPECT_EQ(0, count.exitCode);
  }
}

} // namespace
