#include "anlsrslt/model/TypeQueries.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TypeQueriesTest, ArrayTypeTexts) {
  const struct Case {
    const char *type;
    bool array;
    bool undimensioned;
    const char *element;     // asked of arrays only
    std::uint32_t dimension; // asked of dimensioned arrays only
  } cases[] = {
      {"ni", false, false, "", 0},
      {"[10,ni]", true, false, "ni", 10},
      {"[?,ni]", true, true, "ni", 0},
      {"[0,ni]", true, true, "ni", 0},
      {"[3,[4,ni]]", true, false, "[4,ni]", 3},
      {"[?,[4,ni]]", true, true, "[4,ni]", 0},
      // A negative dimension gives 0; a ']' before the first ',' gives no
      // element type.
      {"[-5,ni]", true, false, "ni", 0},
      {"[7]x,ni", true, false, "", 7},
      {"[12,ni", true, false, "ni", 12},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.array, P_isTypeArray(c.type)) << c.type;
    if (!c.array)
      continue;
    EXPECT_EQ(c.undimensioned, P_isUndimArray(c.type)) << c.type;
    EXPECT_EQ(std::string(c.element), P_typeArrayElement(c.type)) << c.type;
    if (!c.undimensioned) {
      EXPECT_EQ(c.dimension, P_typeArrayDimension(c.type)) << c.type;
    }
  }
  // The element type is interned.
  EXPECT_EQ(P_typeArrayElement("[1,ni]"), P_typeArrayElement("[2,ni]"));
}

TEST(TypeQueriesDeathTest, MisuseEndsTheProcess) {
  EXPECT_DEATH(P_isTypeArray(""), "TypeQueries:.*strlen \\(type\\) > 0 && \"Our type string should have");
  EXPECT_DEATH(P_isTypeArray("[1,n"), "greater than 4  \\[\\?,\\] \"\\)' failed");
  EXPECT_DEATH(P_isUndimArray("ni"), "We should only ask array types if they are undimensioned");
  EXPECT_DEATH(P_typeArrayElement("ni"), "We should only ask array types for their element types");
  EXPECT_DEATH(P_typeArrayDimension("[?,ni]"), "We should only ask dimensioned arrays for their dimensions");
}

} // namespace
