#include "cmdline/PrintableFileName.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

using test_support::CurrentDirectory;
using test_support::ScratchDirectory;

TEST(PrintableFileNameTest, CanonicalNameUnlessExpandFilenamesIsOff) {
  ScratchDirectory scratch;
  scratch.makeDirectory("src");
  const CurrentDirectory here(scratch.path());
  const QL_Filename relative = QL_Filename::fromPath("src/a.c");
  const std::string absolute = scratch.path() + "/src/a.c";

  C_CmdArgs args("lyr", 0, nullptr);
  C_setCurrentCmdArgs(args);
  EXPECT_EQ(absolute, printableFileName(relative)); // the default expands
  EXPECT_EQ(absolute, printableFileName(relative, *args.options()));

  std::istringstream off("-");
  args.options()->expandFilenames().set(off, true);
  EXPECT_EQ("src/a.c", printableFileName(relative, *args.options()));
  EXPECT_EQ(absolute, printableFileName(relative)); // the current set is a copy made before

  C_setCurrentCmdArgs(args);
  EXPECT_EQ("src/a.c", printableFileName(relative));

  EXPECT_EQ(absolute, filenameToString(relative.canonical()));
  EXPECT_EQ(absolute, filenameText(relative.canonical()));
  EXPECT_EQ("src/a.c", fileIdentityGivenName(relative));
  EXPECT_EQ("src/a.c", fileIdentityGivenNameText(relative));
  EXPECT_EQ("", filenameToString(U_Filename()));
}

} // namespace
