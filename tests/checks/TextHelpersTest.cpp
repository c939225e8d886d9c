#include "checks/TextHelpers.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TextHelpersTest, ToLowerCopyLowersOnlyAsciiCapitals) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"-VER", "-ver"},
      {"-Ver", "-ver"},
      {"aZ@[`{09", "az@[`{09"},
      // EUC and Latin-1 bytes above 0x7F stay as they are.
      {std::string("\xC0\xC9\xB4\xC1\xDA", 5), std::string("\xC0\xC9\xB4\xC1\xDA", 5)},
      {"", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, toLowerCopy(c.text));
}

} // namespace
