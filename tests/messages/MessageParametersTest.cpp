// Putting a diagnostic's parameters into a catalogue text.
#include "messages/MessageParameters.h"
#include "messages/Diagnostic.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(MessageParametersTest, DirectivesAndEscapes) {
  U_RefPtr<M_Diagnostic> two(new M_Diagnostic(7));
  two->addParameter("P1");
  two->addParameter(std::vector<std::string>{"x", "y"});
  const U_RefPtr<M_Diagnostic> none(new M_Diagnostic(7));
  struct Case {
    std::string text;
    U_RefPtr<M_Diagnostic> diagnostic;
    std::string expected;
  };
  const Case cases[] = {
      {"plain", two, "plain"},
      {"<%s>", two, "<P1>"},
      {"<%1s>", two, "<P1>"},
      {"<%0s>", two, "<P1>"},
      {"<%2s>", two, "<List={x,y}>"},
      {"<%02s>", two, "<List={x,y}>"},
      {"<%3s>", two, "<{parameter 3 not available}>"},
      {"<%s>", none, "<{parameter 1 not available}>"},
      {"%2s %1s", two, "List={x,y} P1"},
      // Other characters after '%' and digits stay, the number without
      // leading zeros and a 0 dropped.
      {"%05d", two, "%5d"},
      {"%0d", two, "%d"},
      {"%d%%x", two, "%d%%x"},
      {"%-5s", two, "%-5s"},
      // A '%' with only digits after it at the end gives nothing.
      {"a%", two, "a"},
      {"a%12", two, "a"},
      // Backslash escapes.
      {"a\\nb\\tc", two, "a\nb\tc"},
      {"\\x\\\\", two, "x\\"},
      {"a\\", two, "a"},
      // Numbers too long for 32 bits stop at INT_MAX.
      {"%99999999999s", two, "{parameter 2147483647 not available}"},
      {"%99999999999d", two, "%2147483647d"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, substituteMessageParameters(c.text, c.diagnostic)) << "text: '" << c.text << "'";
}

} // namespace
