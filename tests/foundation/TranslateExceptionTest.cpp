#include "foundation/TranslateException.h"

#include "foundation/CountedString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TranslateExceptionTest, TextsAndExitCode) {
  QL_TranslateException plain("no codec");
  EXPECT_STREQ("no codec", plain.what());
  EXPECT_EQ(10, plain.exitCode());
  EXPECT_FALSE(plain.hasExitCode());

  QL_InvalidEncodingException invalid;
  EXPECT_STREQ("InvalidEncoding", invalid.what());
  EXPECT_EQ(10, invalid.exitCode());
}

TEST(TranslateExceptionTest, FileOpenTextNamesTheLatestFile) {
  QL_TranslateFileOpenException first(std::string("a.c"));
  EXPECT_STREQ("Cannot open file: 'a.c'.", first.what());
  // The configuration-error text that other user errors share is empty.
  EXPECT_EQ("", U_UserException::sharedMessage());
  QL_TranslateFileOpenException second(std::string("dir/b.h"));
  EXPECT_STREQ("Cannot open file: 'dir/b.h'.", first.what());
  EXPECT_STREQ("Cannot open file: 'dir/b.h'.", second.what());
  const C_ConfigurationException &asConfiguration = second;
  EXPECT_STREQ("Cannot open file: 'dir/b.h'.", asConfiguration.what());
  EXPECT_EQ(10, asConfiguration.exitCode());

  QL_TranslateFileOpenException counted(CountedString("c/\xA4\xA2.c"));
  EXPECT_STREQ("Cannot open file: 'c/\xA4\xA2.c'.", first.what());
}

} // namespace
