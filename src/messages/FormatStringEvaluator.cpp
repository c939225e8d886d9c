#include "messages/FormatStringEvaluator.h"

#include "foundation/PathText.h"
#include "messages/DecimalDigits.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageParameters.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

const char *const noLocationText = "Diagnostic without location";

std::int32_t clampToInt32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// Walks the token list once; the part of a conditional that is not taken is
// walked too, with a copy of the context.
class FormatEvaluator {
public:
  explicit FormatEvaluator(const FM_TokenList &tokens) : m_tokens(tokens) {}

  // Appends text to out until the end of the list or a "%:" or "%)", which
  // stays.
  void evalSequence(FM_EvalContext &context, std::string &out) {
    while (!atEnd()) {
      switch (kind()) {
      case FM_TokenKind::elsePart:
      case FM_TokenKind::endConditional:
        return;
      case FM_TokenKind::conditional:
        ++m_pos;
        evalConditional(context, out);
        break;
      case FM_TokenKind::wrapHard:
      case FM_TokenKind::wrapAtBlank:
      case FM_TokenKind::cut:
        context.m_wrapMode =
            static_cast<std::int32_t>(kind()) - static_cast<std::int32_t>(FM_TokenKind::wrapHard) + 1;
        ++m_pos;
        context.m_width = evalNumber(context);
        break;
      case FM_TokenKind::indent:
        ++m_pos;
        context.m_indent = evalText(context);
        break;
      case FM_TokenKind::remember:
        ++m_pos;
        context.m_remember = true;
        break;
      case FM_TokenKind::forget:
        ++m_pos;
        context.m_forget = true;
        break;
      case FM_TokenKind::repeat: {
        ++m_pos;
        const std::int32_t count = evalNumber(context);
        append(out, repeated(evalText(context), count));
        break;
      }
      default:
        append(out, evalText(context));
      }
    }
  }

private:
  bool atEnd() const { return m_pos >= m_tokens.size(); }
  FM_TokenKind kind() const { return m_tokens[m_pos]->kind(); }

  [[noreturn]] static void unexpectedEnd() { throw FM_ParseException("Unexpected end"); }
  [[noreturn]] void failFrom(std::size_t from) const {
    throw FM_ParseException(FM_tokenListText(m_tokens, from));
  }
  void needToken() const {
    if (atEnd())
      unexpectedEnd();
  }

  // Every piece of text counts against the budget of the call, also the
  // pieces of the parts that are not taken.
  void append(std::string &out, const std::string &piece) {
    m_produced += piece.size();
    if (m_produced > FM_maxResultLength)
      throw FM_ParseException(FM_resultTooLongText());
    out += piece;
  }

  // Whole copies of the text, no more than fit in the longest run (at least
  // one).
  static std::string repeated(const std::string &text, std::int32_t count) {
    if (count <= 0 || text.empty())
      return std::string();
    const std::int64_t fitting =
        std::max<std::int64_t>(1, static_cast<std::int64_t>(FM_maxRunLength / text.size()));
    const std::int64_t copies = std::min<std::int64_t>(count, fitting);
    const std::size_t length = static_cast<std::size_t>(copies) * text.size();
    std::string result;
    result.reserve(length);
    result = text;
    // Doubling: a few appends instead of one per copy.
    while (result.size() < length)
      result.append(result, 0, std::min(result.size(), length - result.size()));
    return result;
  }

  // After "%?": the condition, "%(", the then part, optionally "%:" and the
  // else part, then the token that closes the conditional. The part not taken
  // is evaluated on a copy of the context and its text dropped.
  void evalConditional(FM_EvalContext &context, std::string &out) {
    if (m_depth == FM_nestingLimit)
      failFrom(m_pos - 1);
    ++m_depth;
    const std::size_t conditionStart = m_pos;
    const bool holds = evalCondition(context);
    if (atEnd() || kind() != FM_TokenKind::thenPart)
      failFrom(conditionStart);
    ++m_pos;
    FM_EvalContext copy = context;
    std::string dropped;
    evalSequence(holds ? context : copy, holds ? out : dropped);
    needToken();
    if (kind() == FM_TokenKind::elsePart) {
      ++m_pos;
      evalSequence(holds ? copy : context, holds ? dropped : out);
    }
    needToken();
    ++m_pos;
    --m_depth;
  }

  bool evalCondition(FM_EvalContext &context) {
    const std::int32_t first = evalNumber(context);
    needToken();
    if (kind() == FM_TokenKind::truthTest) {
      ++m_pos;
      return first != 0;
    }
    const FM_TokenKind op = kind();
    if (op < FM_TokenKind::lessEqual || op > FM_TokenKind::notEqual)
      failFrom(m_pos);
    ++m_pos;
    return evalComparison(op, first, evalNumber(context));
  }

  static bool evalComparison(FM_TokenKind op, std::int32_t a, std::int32_t b) {
    switch (op) {
    case FM_TokenKind::lessEqual:
      return a <= b;
    case FM_TokenKind::less:
      return a < b;
    case FM_TokenKind::greaterEqual:
      return a >= b;
    case FM_TokenKind::greater:
      return a > b;
    case FM_TokenKind::equal:
      return a == b;
    default:
      return a != b;
    }
  }

  // The location of the diagnostic; the values that read it fail without one.
  static const U_Location &location(const FM_EvalContext &context) {
    const U_Location &location = context.m_diagnostic->getLocation();
    if (!location.isSet())
      throw FM_ParseException(noLocationText);
    return location;
  }
  // The shown file and line when the location carries them (from a line
  // directive), else its own.
  static QL_Filename shownFile(const U_Location &location) {
    return location.hasHLLoc() ? location.getHLFile() : location.getFile();
  }
  static std::int32_t shownLine(const U_Location &location) {
    return location.hasHLLoc() ? location.getHLLine() : location.getLine();
  }

  static bool fileChanged(const FM_EvalContext &context) {
    const U_Location &here = location(context);
    const U_Location &previous = context.m_previousLocation;
    return !previous.isSet() || here.getFile() != previous.getFile();
  }
  static bool lineChanged(const FM_EvalContext &context) {
    return fileChanged(context) || location(context).getLine() != context.m_previousLocation.getLine();
  }
  static bool placeChanged(const FM_EvalContext &context) {
    const U_Location &here = location(context);
    return !context.m_previousLocation.isSet() || U_compareLocations(here, context.m_previousLocation) != 0;
  }

  static std::int32_t levelNumber(const FM_EvalContext &context) {
    return lookupMessageEntry(context).levelNumber();
  }
  static std::string substituted(const FM_EvalContext &context, bool second) {
    const M_MessageEntry &entry = lookupMessageEntry(context);
    return substituteMessageParameters(second ? entry.secondText() : entry.text(), context.m_diagnostic);
  }
  static std::int32_t messageNumber(const FM_EvalContext &context) {
    return static_cast<std::int32_t>(context.m_diagnostic->getNumber());
  }

  // The numeric value of the current token, which it consumes.
  std::int32_t evalNumber(FM_EvalContext &context) {
    needToken();
    const FM_LexToken &token = *m_tokens[m_pos];
    std::int32_t value = 0;
    switch (token.kind()) {
    case FM_TokenKind::level:
      value = levelNumber(context);
      break;
    case FM_TokenKind::messageNumber:
      value = messageNumber(context);
      break;
    case FM_TokenKind::fileChanged:
      value = fileChanged(context);
      break;
    case FM_TokenKind::line:
      value = shownLine(location(context));
      break;
    case FM_TokenKind::lineChanged:
      value = lineChanged(context);
      break;
    case FM_TokenKind::column:
      value = location(context).getColumn();
      break;
    case FM_TokenKind::columnMinusOne:
      value = clampToInt32(static_cast<std::int64_t>(location(context).getColumn()) - 1);
      break;
    case FM_TokenKind::placeChanged:
      value = placeChanged(context);
      break;
    case FM_TokenKind::hasSecondText:
      value = !substituted(context, true).empty();
      break;
    case FM_TokenKind::errorFlag:
      value = context.m_diagnostic->isError();
      break;
    case FM_TokenKind::callerValue:
      value = static_cast<std::int32_t>(context.m_u);
      break;
    case FM_TokenKind::wrapHard:
      value = context.m_wrapMode == 1;
      break;
    case FM_TokenKind::wrapAtBlank:
      value = context.m_wrapMode == 2;
      break;
    case FM_TokenKind::cut:
      value = context.m_wrapMode == 3;
      break;
    case FM_TokenKind::literal:
      value = literalToInt(static_cast<const FM_LexAlphaToken &>(token).text());
      break;
    case FM_TokenKind::number:
      value = static_cast<const FM_LexNumToken &>(token).value();
      break;
    default:
      failFrom(m_pos);
    }
    ++m_pos;
    return value;
  }

  // -1 unless the literal begins with a digit; else its leading digits.
  static std::int32_t literalToInt(const std::string &text) {
    std::size_t pos = 0;
    return !text.empty() && M_isDigit(text[0]) ? M_readDigits(text, pos) : -1;
  }

  // The text value of the current token, which it consumes.
  std::string evalText(FM_EvalContext &context) {
    needToken();
    const FM_LexToken &token = *m_tokens[m_pos];
    std::string text;
    switch (token.kind()) {
    case FM_TokenKind::level:
      text = std::to_string(levelNumber(context));
      break;
    case FM_TokenKind::messageNumber:
      text = std::to_string(messageNumber(context));
      break;
    case FM_TokenKind::paddedNumber: {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%04" PRId32, messageNumber(context));
      text = digits;
      break;
    }
    case FM_TokenKind::file:
      text = toNativeSlashes(shownFile(location(context)).given().str());
      break;
    case FM_TokenKind::canonicalFile:
      text = toNativeSlashes(shownFile(location(context)).canonical().str());
      break;
    case FM_TokenKind::baseName: {
      const std::string given = shownFile(location(context)).given().str();
      const std::size_t slash = given.rfind('/');
      text = slash == std::string::npos ? given : given.substr(slash + 1);
      break;
    }
    case FM_TokenKind::line:
      text = std::to_string(shownLine(location(context)));
      break;
    case FM_TokenKind::column:
      text = std::to_string(location(context).getColumn());
      break;
    case FM_TokenKind::columnMinusOne:
      text = std::to_string(static_cast<std::int64_t>(location(context).getColumn()) - 1);
      break;
    case FM_TokenKind::caret:
      text = caretLine(context);
      break;
    case FM_TokenKind::text:
      text = substituted(context, false);
      break;
    case FM_TokenKind::secondText:
      text = substituted(context, true);
      break;
    case FM_TokenKind::callerValue:
      text = std::to_string(static_cast<std::int32_t>(context.m_u));
      break;
    case FM_TokenKind::literal:
      text = static_cast<const FM_LexAlphaToken &>(token).text();
      break;
    case FM_TokenKind::number:
      text = std::to_string(static_cast<const FM_LexNumToken &>(token).value());
      break;
    default:
      failFrom(m_pos);
    }
    ++m_pos;
    return text;
  }

  // Blanks up to the column and '^' on a line of its own; nothing at a
  // column of 0 or less, nor when the caller's value is set and the previous
  // location is on another line. Showing it remembers the location.
  static std::string caretLine(FM_EvalContext &context) {
    const std::int32_t column = location(context).getColumn();
    if (column <= 0)
      return std::string();
    if (context.m_u != 0 && lineChanged(context))
      return std::string();
    context.m_remember = true;
    const std::int64_t blanks = std::min<std::int64_t>(column - 1, FM_maxRunLength);
    return std::string(static_cast<std::size_t>(blanks), ' ') + "^\n";
  }

  const FM_TokenList &m_tokens;
  std::size_t m_pos = 0;
  int m_depth = 0;
  std::size_t m_produced = 0;
};

} // namespace

std::string FM_evaluate(const FM_TokenList &tokens, FM_EvalContext &context) {
  std::string text;
  FormatEvaluator(tokens).evalSequence(context, text);
  return text;
}

const M_MessageEntry &lookupMessageEntry(const FM_EvalContext &context) {
  return getMessageEntry(static_cast<std::int32_t>(context.m_diagnostic->getNumber()));
}
