#include "resultfiles/RecordExceptions.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(RecordExceptionsTest, Texts) {
  EXPECT_STREQ("Problems writing binary file.", R_WritingException().what());
  EXPECT_STREQ("Problems reading binary file.", R_ReadingException().what());

  errno = EIO;
  const R_ReadingReadException read(EIO);
  const std::string readText =
      std::string("Problems reading binary file. errno (") + std::to_string(EIO) + "): " + std::strerror(EIO);
  EXPECT_EQ(readText, read.what());
  errno = ENOSPC;
  const R_ReadingEOFException eof(ENOSPC);
  EXPECT_EQ(std::string("Problems reading binary file at eof. errno (") + std::to_string(ENOSPC) +
                "): " + std::strerror(ENOSPC),
            eof.what());
  EXPECT_EQ(readText, read.what()) << "each class keeps its own text";

  // Caught as the family, each still gives its own text.
  try {
    throw R_ReadingReadException(EBADMSG);
  } catch (const R_ReadingException &error) {
    EXPECT_EQ(0, std::string(error.what()).find("Problems reading binary file. errno ("));
    EXPECT_EQ(std::string::npos, std::string(error.what()).find(std::strerror(EIO)))
        << "the newest exception's text";
  }
  // User errors: the driver ends the run with code 18 for them.
  const U_UserException &asUserError = R_WritingException();
  EXPECT_STREQ("Problems writing binary file.", asUserError.what());
}

} // namespace
