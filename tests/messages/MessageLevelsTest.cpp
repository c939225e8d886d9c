// Level names, their numbers and descriptions, and the display names of
// level numbers.
#include "messages/MessageLevels.h"
#include "messages/MessageCatalogue.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

class MessageLevelsTest : public testing::Test {
protected:
  void SetUp() override { M_forgetMessageCatalogue(); }
  void TearDown() override { M_forgetMessageCatalogue(); }
};

TEST_F(MessageLevelsTest, EqualTextsAreOneLevelName) {
  const M_LevelName warning = internSimpleString("warning");
  EXPECT_TRUE(warning.isSet());
  EXPECT_EQ(warning, internSimpleString(std::string("warning")));
  EXPECT_EQ(warning.c_str(), internSimpleString("warning").c_str());
  EXPECT_NE(warning, internSimpleString("Warning"));
  EXPECT_NE(warning, internSimpleString("warning "));
  EXPECT_EQ("warning", warning.text());

  const M_LevelName none;
  EXPECT_FALSE(none.isSet());
  EXPECT_EQ("", none.text());
  EXPECT_STREQ("", none.c_str());
  EXPECT_NE(none, internSimpleString(""));

  // The text ends at the first NUL byte; the stored name keeps all of it.
  const M_LevelName withNul = internSimpleString(std::string("ab\0cd", 5));
  EXPECT_EQ("ab", withNul.text());
  EXPECT_NE(withNul, internSimpleString("ab"));

  std::ostringstream out;
  out << warning << '|' << none;
  EXPECT_EQ("warning|", out.str());
}

TEST_F(MessageLevelsTest, UndefinedLevelHasNumber99AndDescribesItselfByItsName) {
  const M_LevelName level = internSimpleString("undefined-level");
  EXPECT_EQ(99, levelNumber(level));
  EXPECT_EQ("undefined-level", levelDescription(level));
  EXPECT_EQ(99, levelNumber(M_LevelName()));
  EXPECT_EQ("", levelDescription(M_LevelName()));
}

TEST_F(MessageLevelsTest, EachSetterSetsItsOwnField) {
  const M_LevelName level = internSimpleString("set-level");
  setLevelDescription(level, "Described");
  EXPECT_EQ(99, levelNumber(level));
  EXPECT_EQ("Described", levelDescription(level));
  setLevelNumber(level, 4);
  EXPECT_EQ(4, levelNumber(level));
  EXPECT_EQ("Described", levelDescription(level));
  setLevelDescription(level, "");
  EXPECT_EQ("set-level", levelDescription(level));
  EXPECT_EQ(4, levelNumber(level));

  clearLevelTable();
  EXPECT_EQ(99, levelNumber(level));
}

TEST_F(MessageLevelsTest, DisplayNamesBelongToLevelNumbers) {
  EXPECT_EQ("", levelDisplayName(3));
  setLevelDisplayName(3, "Three");
  EXPECT_EQ("Three", levelDisplayName(3));
  const M_LevelName level = internSimpleString("display-level");
  EXPECT_EQ("", levelDisplayName(level));
  setLevelNumber(level, 3);
  EXPECT_EQ("Three", levelDisplayName(level));
  // Emptying the level table leaves the display names.
  clearLevelTable();
  EXPECT_EQ("Three", levelDisplayName(3));
}

TEST_F(MessageLevelsTest, DebugLevel) {
  defineDebugLevel();
  const M_LevelName level = internSimpleString("DebugLevel");
  EXPECT_EQ(99, levelNumber(level));
  EXPECT_EQ("This level is used for internal diagnostic information and message prototyping",
            levelDescription(level));
}

} // namespace
