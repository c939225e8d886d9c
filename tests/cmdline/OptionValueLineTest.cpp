#include "cmdline/OptionValueLine.h"
#include "cmdline/ConfigurationException.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>

namespace {

TEST(OptionValueLineTest, ReadsOneLineWithoutOneLeadingEquals) {
  struct Case {
    const char *stream;
    std::optional<std::string> value; // nullopt: no value left
    const char *rest;
  };
  const Case cases[] = {
      {"4\n", "4", ""},
      {"=4\n", "4", ""},
      {"==4\n", "=4", ""},
      {"=\nx\n", "", "x\n"},
      {"\nx\n", "", "x\n"},
      {"-metrics\na.c\n", "-metrics", "a.c\n"},
      {"dir with blanks", "dir with blanks", ""},
      {" 4 \n", " 4 ", ""},
      {"", std::nullopt, ""},
  };
  for (const Case &c : cases) {
    std::istringstream in(c.stream);
    std::optional<std::string> value;
    try {
      value = readOptionValueLine("tabstop", in);
    } catch (const C_ValueExpectedException &e) {
      EXPECT_STREQ("\nERROR: Argument expected after tabstop\n\n", e.what());
    }
    EXPECT_EQ(c.value, value) << c.stream;
    in.clear();
    EXPECT_EQ(c.rest, std::string(std::istreambuf_iterator<char>(in), {})) << c.stream;
  }
}

} // namespace
