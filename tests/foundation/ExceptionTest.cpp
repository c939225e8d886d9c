#include "foundation/Exception.h"
#include "foundation/Assertion.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

TEST(ExceptionTest, DefaultTexts) {
  EXPECT_STREQ("don't know cause", U_Exception().what());
  EXPECT_STREQ("don't know cause", U_AssertException().what());
  EXPECT_STREQ("UserException: don't know cause", U_UserException().what());
}

TEST(ExceptionTest, UserMessageIsSharedAndCopyKeepsIt) {
  U_UserException first("first");
  EXPECT_STREQ("first", first.what());
  U_UserException copy(first);
  EXPECT_STREQ("first", copy.what());
  U_UserException second("second");
  EXPECT_STREQ("second", first.what());
  std::ostringstream out;
  first.print(out);
  EXPECT_EQ("second", out.str());
}

struct ReportCase {
  const char *expression;
  const char *expected;
};

TEST(ExceptionTest, AssertionReportLayout) {
  const ReportCase cases[] = {
      {"0 != han && \"Dont dereference 0.\"",
       "Assertion at unit.cpp:12: Assertion '0 != han && \"Dont dereference 0.\"' failed.\n"},
      {"a<NL>b<TB>c", "Assertion at unit.cpp:12: Assertion 'a   \nb   \tc' failed.\n"},
      {"", "Assertion at unit.cpp:12: Assertion '' failed.\n"},
  };
  for (const ReportCase &c : cases) {
    testing::internal::CaptureStderr();
    reportAssertion("unit.cpp", 12, "Assertion", c.expression);
    EXPECT_EQ(c.expected, testing::internal::GetCapturedStderr()) << c.expression;
  }
}

TEST(ExceptionTest, ThrowingFormReportsThenThrows) {
  testing::internal::CaptureStderr();
  const unsigned line = __LINE__ + 1;
  EXPECT_THROW(U_ASSERT_THROW(1 == 2), U_AssertException);
  EXPECT_EQ("Assertion at ExceptionTest.cpp:" + std::to_string(line) + ": Assertion '1 == 2' failed.\n",
            testing::internal::GetCapturedStderr());
}

TEST(ExceptionTest, AbortingFormRaisesSigabrt) {
  EXPECT_EXIT(U_ASSERT(1 == 2), testing::KilledBySignal(SIGABRT),
              "Assertion at ExceptionTest.cpp:[0-9]+: Assertion '1 == 2' failed.");
}

} // namespace
