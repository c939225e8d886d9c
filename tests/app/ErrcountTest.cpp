// Runs of lyrsa_errcount: what it prints for error files that read back,
// are missing or are cut short, with the product's installation variable and
// without it.
#include "support/ByteBuilder.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::ByteBuilder;

// A format-2 error file with one message 1540 at line 3 of /a/x.c.
std::string oneMessage() {
  return ByteBuilder()
      .int32(0x9300)
      .int32(0)
      .byte(1)
      .int32(0)
      .byte(8)
      .int32(0)
      .int32(0)
      .text("/a/x.c")
      .text("x.c")
      .int32(3)
      .int32(5)
      .byte(0)
      .int32(1540)
      .int32(0)
      .int32(0)
      .int32(0)
      .int32(0);
}

TEST(ErrcountTest, CountsOrSaysWhyNot) {
  struct Case {
    const char *what;
    const char *product;
    std::optional<std::string> installation; // nothing: the variable is not set
    std::string out;
    std::string err;
    int exitCode;
  };
  const std::string installation = std::string(LYR_TEST_DATA_DIR) + "/installation";
  // The reader looks for files of the installation that do not exist before it
  // reads: a file cut short must not be reported with what those left in errno.
  const std::string cutShort = "caught a R_ReadingException in getNextMessage().\n"
                               "  reason: Problems reading binary file. errno (61): No data available\n";
  const Case cases[] = {
      {"with the installation", "lyr", installation,
       "one.err: 1 messages, 0 suppression records\n"
       "missing.err: 0 messages, 0 suppression records (no file)\n"
       "short.err: unreadable\n",
       cutShort, 1},
      {"without LYRBIN", "lyr", std::nullopt, "", "lyrsa_errcount: LYRBIN environment variable not found\n",
       2},
      {"with LYRBIN empty", "lyr", "", "", "lyrsa_errcount: LYRBIN environment variable not found\n", 2},
      {"without LYRPPBIN", "lyrpp", std::nullopt, "",
       "lyrsa_errcount: LYRPPBIN environment variable not found\n", 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    const test_support::ScratchDirectory scratch;
    scratch.writeFile("one.err", oneMessage());
    // Cut within the line of the message.
    scratch.writeFile("short.err", oneMessage().substr(0, 41));
    std::map<std::string, std::optional<std::string>> environment{{"HOME", scratch.path()}};
    for (const char *variable : {"LYRBIN", "LYRPPBIN"})
      environment[variable] = std::nullopt;
    environment[std::string(c.product) == "lyr" ? "LYRBIN" : "LYRPPBIN"] = c.installation;
    const test_support::ProgramResult result =
        test_support::runProgram(LYR_ERRCOUNT_PATH, {c.product, "one.err", "missing.err", "short.err"},
                                 test_support::environmentWith(environment), scratch.path());
    EXPECT_EQ(c.out, result.out);
    EXPECT_EQ(c.err, result.err);
    EXPECT_EQ(c.exitCode, result.exitCode);
  }
}

} // namespace
