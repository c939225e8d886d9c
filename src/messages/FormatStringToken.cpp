#include "messages/FormatStringToken.h"

#include <iterator>

namespace {

const char *const shownTexts[] = {
    "%?", "%:", "%(", "%)", "%g", "%n", "%N", "%f", "%F", "%B", "F",  "%l", "L", "%c", "%C", "C",  "%^", "%t",
    "v",  "%v", "%h", "u",  "%w", "%W", "%s", "%i", "%q", "%Q", "%R", "<=", "<", ">=", ">",  "==", "!=", "",
};
static_assert(std::size(shownTexts) == static_cast<std::size_t>(FM_TokenKind::truthTest) + 1);

} // namespace

FM_LexToken::~FM_LexToken() = default;
FM_LexNumToken::~FM_LexNumToken() = default;
FM_LexAlphaToken::~FM_LexAlphaToken() = default;

std::string FM_shownText(const FM_LexToken &token) {
  switch (token.kind()) {
  case FM_TokenKind::literal: {
    const std::string &text = static_cast<const FM_LexAlphaToken &>(token).text();
    return text == "%" ? "%%" : text;
  }
  case FM_TokenKind::number:
    return std::to_string(static_cast<const FM_LexNumToken &>(token).value());
  default:
    return shownTexts[static_cast<std::size_t>(token.kind())];
  }
}

std::string FM_tokenListText(const FM_TokenList &tokens, std::size_t first) {
  std::string shown;
  for (std::size_t i = first; i < tokens.size(); ++i) {
    if (i != first)
      shown += ' ';
    shown += FM_shownText(*tokens[i]);
  }
  return shown;
}
