// Reading format strings: the token list of every construct, shown as the
// debug word "show-format" shows it, and the text of every reading error.
#include "messages/FormatStringReader.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The shown token list, or "error: " and the exception's text.
std::string read(const std::string &format) {
  try {
    return FM_tokenListText(lexFormatString(format));
  } catch (const FM_ParseException &error) {
    return "error: " + error.text();
  }
}

struct Case {
  std::string format;
  std::string tokens;
};

void expectAll(const Case *begin, const Case *end) {
  for (const Case *c = begin; c != end; ++c)
    EXPECT_EQ(c->tokens, read(c->format)) << "format: '" << c->format << "'";
}

TEST(FormatStringReaderTest, TokensOfEveryConstruct) {
  const Case cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"%g%n%N%f%F%B%l%c%C%^%t%v%h%u%q%Q", "%g %n %N %f %F %B %l %c %C %^ %t %v %h u %q %Q"},
      // Literal '%': doubled, at the end, and a letter that is no directive.
      {"100%%", "100 %%"},
      {"a%", "a %%"},
      {"%x and %y", "%x and  %y"},
      // Blanks between '%' and the letter.
      {"% n", "%n"},
      {"%  x", " x"},
      // Number arguments: digits, in parentheses, saturated.
      {"%w10%W(20)%s 5", "%w 10 %W 20 %s 5"},
      {"%w(10abc)", "%w 10"},
      {"%w10abc", "%w 10 abc"},
      {"%w2147483648", "%w 2147483647"},
      {"%s(99999999999999999999)", "%s 2147483647"},
      // Indents: one character (a blank too) or a text in parentheses.
      {"%ix", "%i x"},
      {"%i x", "%i   x"},
      {"%i(>>)rest", "%i >> rest"},
      {"%i()", "%i "},
      // Repeats: a number or a '%' construct, then the text up to ')'.
      {"%R(%u,  )%t", "%R u    %t"},
      {"%R(3,ab)", "%R 3 ab"},
      {"%R( (4),x,y)", "%R 4 x,y"},
      {"%R(2,)", "%R 2 "},
      {"%R(%%,x)", "%R %% x"},
      // Conditionals: operands, every operator and the truth test.
      {"%?u%(A%:B%)", "%? u  %( A %: B %)"},
      {"%?u==0%(A%)", "%? u == 0 %( A %)"},
      {"%?g<=3%(%)", "%? %g <= 3 %( %)"},
      {"%?n<3%(%)", "%? %n < 3 %( %)"},
      {"%?l>=3%(%)", "%? %l >= 3 %( %)"},
      {"%?c>3%(%)", "%? %c > 3 %( %)"},
      {"%? F != C%(%)", "%? F != C %( %)"},
      {"%?L>x y%(%)", "%? L > x y %( %)"},
      {"%?v%(%)", "%? v  %( %)"},
      {"%?h%(%)", "%? %h  %( %)"},
      {"%?w==W%(%)", "%? %w == %W %( %)"},
      {"%?s!=i%(%)", "%? %s != %i %( %)"},
      {"%?N==f%(%)", "%? %N == %f %( %)"},
      {"%?B==^%(%)", "%? %B == %^ %( %)"},
      {"%?t==5 %(%)", "%? %t == 5  %( %)"},
      {"%?-1==u%(%)", "%? -1 == u %( %)"},
      // The parts of a conditional are plain text to the reader.
      {"%)%:%(", "%) %: %("},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(FormatStringReaderTest, ReadingErrors) {
  const Case cases[] = {
      // Directives.
      {"% ", "error:  "},
      {"%  ", "error:   "},
      {"ab%Lcd", "error: Lcd"},
      {"% %x", "error: %x"},
      // Number arguments.
      {"%w", "error: Unexpected end"},
      {"%w ", "error:  "},
      {"%wx", "error: x"},
      {"%w(x)rest", "error: rest"},
      {"%w()", "error: "},
      {"%w(12", "error: (12"},
      // Indents.
      {"%i", "error: Unexpected end"},
      {"%i(ab", "error: (ab"},
      // Repeats.
      {"%R", "error: Unexpected end"},
      {"%Rx(1,a)", "error: x(1,a)"},
      {"%R(", "error: Unexpected end"},
      {"%R(%u", "error: Unexpected end"},
      {"%R(3x,a)", "error: x,a)"},
      {"%R(3,ab", "error: ,ab"},
      {"%R(x,a)", "error: x,a)"},
      {"%R(%", "error: Unexpected end"},
      // Conditions.
      {"%?", "error: Unexpected end"},
      {"%?u", "error: Unexpected end"},
      {"%?u  ", "error: Unexpected end"},
      {"%? ", "error:  "},
      {"%?u=1%(", "error: 1%("},
      {"%?u!x", "error: x"},
      {"%?u!", "error: "},
      {"%?uA%(", "error: A%("},
      {"%?u==", "error: "},
      {"%?u== ", "error:  "},
      {"%?u==%(", "error: %("},
      {"%?u<=<1", "error: <1"},
      {"%?q%(", "error: q%("},
      {"%?Q%(", "error: Q%("},
      {"%?R%(", "error: R%("},
      {"%?%(", "error: %("},
      {"%?=1", "error: =1"},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(FormatStringReaderTest, RepeatsNestInTheirCountsUpToTheLimit) {
  std::string nested;
  for (int i = 0; i < FM_nestingLimit; ++i)
    nested += "%R(";
  nested += "%u";
  for (int i = 0; i < FM_nestingLimit; ++i)
    nested += ",x)";
  EXPECT_EQ(static_cast<std::size_t>(2 * FM_nestingLimit + 1), lexFormatString(nested).size());

  std::string tooDeep;
  for (int i = 0; i <= FM_nestingLimit; ++i)
    tooDeep += "%R(";
  tooDeep += "%u,x)";
  EXPECT_EQ("error: %u,x)", read(tooDeep));
}

TEST(FormatStringReaderTest, TokenClassesHoldTheirValues) {
  const FM_TokenList tokens = lexFormatString("%w12ab");
  ASSERT_EQ(3u, tokens.size());
  EXPECT_EQ(FM_TokenKind::wrapHard, tokens[0]->kind());
  EXPECT_EQ(37u, static_cast<std::uint32_t>(tokens[1]->kind()));
  EXPECT_EQ(12, static_cast<const FM_LexNumToken &>(*tokens[1]).value());
  EXPECT_EQ(36u, static_cast<std::uint32_t>(tokens[2]->kind()));
  EXPECT_EQ("ab", static_cast<const FM_LexAlphaToken &>(*tokens[2]).text());
  EXPECT_EQ(1u, tokens[2]->referenceCount());
  EXPECT_EQ("%w 12 ab", FM_tokenListText(tokens));
  EXPECT_EQ("ab", FM_tokenListText(tokens, 2));
}

} // namespace
