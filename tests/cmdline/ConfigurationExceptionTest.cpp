#include "cmdline/ConfigurationException.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(ConfigurationExceptionTest, ExitCodeAndSharedMessage) {
  C_ConfigurationException plain("\nERROR: bad\n");
  EXPECT_EQ(10, plain.exitCode());
  EXPECT_FALSE(plain.hasExitCode());
  EXPECT_STREQ("\nERROR: bad\n", plain.what());

  C_ConfigurationException coded(3, "other");
  EXPECT_EQ(3, coded.exitCode());
  EXPECT_TRUE(coded.hasExitCode());
  // The message is shared by every user error: the last one constructed wins.
  EXPECT_STREQ("other", plain.what());
}

} // namespace

namespace {

TEST(ConfigurationExceptionTest, OptionErrorTexts) {
  struct Case {
    std::function<void()> raise;
    const char *text;
  };
  const Case cases[] = {
      {[] { throw C_InvalidArgValueException("metrics", "x"); },
       "\nERROR: x is not a valid argument for option: metrics\n\n"},
      {[] { throw C_InvalidArgValueException("forgetall", ""); },
       "\nERROR:  is not a valid argument for option: forgetall\n\n"},
      {[] { throw C_ValueExpectedException("tabstop"); }, "\nERROR: Argument expected after tabstop\n\n"},
      {[] { throw C_InvalidArgException("-nosuchoption"); }, "\nERROR: Unknown argument: -nosuchoption\n\n"},
      {[] { throw C_InvalidArgException("-"); }, "\nERROR: Unknown argument: -\n\n"},
      {[] { throw C_InvalidViaException("dir/s.txt"); }, "\nERROR: Unable to open dir/s.txt\n\n"},
  };
  for (const Case &c : cases) {
    const C_ConfigurationException earlier("\nERROR: earlier\n");
    try {
      c.raise();
      ADD_FAILURE() << "nothing thrown for " << c.text;
    } catch (const C_ConfigurationException &e) {
      EXPECT_STREQ(c.text, e.what());
      EXPECT_EQ(10, e.exitCode());
      EXPECT_FALSE(e.hasExitCode());
      std::ostringstream printed;
      e.print(printed);
      EXPECT_EQ(c.text, printed.str());
    }
    // The option errors build their base part with an empty message, which
    // replaces the text that every user error shares.
    EXPECT_STREQ("", earlier.what()) << c.text;
    EXPECT_EQ("", U_UserException::sharedMessage()) << c.text;
  }
}

TEST(ConfigurationExceptionTest, EachErrorKeepsItsOwnText) {
  const C_InvalidArgValueException value("tabstop", "x");
  const C_InvalidViaException via("a.txt");
  const C_InvalidArgValueException otherValue("metrics", "=");
  const C_ValueExpectedException expected("i");
  const C_InvalidArgException unknown("-zz");
  const C_ConfigurationException plain("\nERROR: plain\n");
  EXPECT_STREQ("\nERROR: x is not a valid argument for option: tabstop\n\n", value.what());
  EXPECT_STREQ("\nERROR: Unable to open a.txt\n\n", via.what());
  EXPECT_STREQ("\nERROR: = is not a valid argument for option: metrics\n\n", otherValue.what());
  EXPECT_STREQ("\nERROR: Argument expected after i\n\n", expected.what());
  EXPECT_STREQ("\nERROR: Unknown argument: -zz\n\n", unknown.what());

  // Through the base class and after copying, as a handler sees them.
  const C_InvalidArgValueException &viaAsValue = via;
  EXPECT_STREQ("\nERROR: Unable to open a.txt\n\n", viaAsValue.what());
  const C_InvalidViaException copy(via);
  EXPECT_STREQ(via.what(), copy.what());
  try {
    throw C_InvalidViaException("b.txt");
  } catch (const C_InvalidArgValueException &e) { // a settings-file error is an invalid value
    EXPECT_STREQ("\nERROR: Unable to open b.txt\n\n", e.what());
  }
}

} // namespace
