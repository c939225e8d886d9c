#include "resultfiles/ErrorFileExceptions.h"

#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

TEST(ErrorFileExceptionsTest, Texts) {
  struct Case {
    std::function<void()> raise;
    std::string text;
  };
  const Case cases[] = {
      {[] { throw M_BadFileOpenException("out/a.c.err"); }, "Cannot write error file 'out/a.c.err'."},
      {[] { throw M_BadFileOpenException("out/a.c.err", EISDIR); },
       "Cannot write error file 'out/a.c.err' (Is a directory)."},
      {[] { throw M_BadFileOpenException("out/a.c.err", EFBIG); },
       "Cannot write error file 'out/a.c.err' (File too large)."},
      {[] { throw M_BadTextReadException(); }, "problems reading a text string from error file"},
      {[] { throw M_BadVersionForAppendException(0x8100); },
       "Cannot append to error file with incorrect version.  Error file has version: 8100. Expected: 9300\n"},
      {[] { throw M_BadVersionForAppendException(0xabc); },
       "Cannot append to error file with incorrect version.  Error file has version: abc. Expected: 9300\n"},
      {[] { throw M_BadErrorFileVersion(0x8000); },
       "Error file has incorrect version: 8000. Expected: 9300\n"},
      {[] { throw M_BadIntWriteException(); }, "problems writing an int from error file"},
      {[] { throw M_BadTextWriteException(); }, "problems writing a text string from error file"},
      {[] { throw M_BadInfoTypeException(); }, "unknown error record type in error file"},
      {[] { throw M_HasListParameterException(); }, "error file has string list parameter"},
      {[] { throw M_BadIntReadException(); }, "problems reading an int from error file"},
      {[] { throw M_EOFException(); }, "M_EOFException"},
  };
  for (const Case &c : cases) {
    try {
      c.raise();
    } catch (const M_ErrorFileException &error) {
      EXPECT_EQ(c.text, error.what());
      std::ostringstream printed;
      error.print(printed);
      EXPECT_EQ(c.text, printed.str());
      // The family is caught as user errors, which end a run with exit code 18.
      EXPECT_NE(nullptr, dynamic_cast<const U_UserException *>(&error));
    }
  }
}

// The texts with a value are made at each call from the exception's own
// value, also after another exception of the class was made.
TEST(ErrorFileExceptionsTest, TextOfItsOwnValue) {
  const M_BadFileOpenException first("a.err", ENOSPC);
  const M_BadFileOpenException second("b.err");
  EXPECT_STREQ("Cannot write error file 'a.err' (No space left on device).", first.what());
  EXPECT_STREQ("Cannot write error file 'b.err'.", second.what());
  EXPECT_EQ("a.err", first.fileName());
  EXPECT_EQ(0x7700u, M_BadVersionForAppendException(0x7700).version());
}

} // namespace
