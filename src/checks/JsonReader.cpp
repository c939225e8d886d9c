#include "checks/JsonReader.h"

#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

namespace {

constexpr std::int32_t kLastPosition = std::numeric_limits<std::int32_t>::max();

bool atEnd(const JsonCursor &cursor) { return cursor.current == cursor.end; }

bool isOn(const JsonCursor &cursor, char c) { return !atEnd(cursor) && *cursor.current == c; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Positions stop counting at the largest line or column rather than overflow.
void countUp(std::int32_t &position) {
  if (position < kLastPosition)
    ++position;
}

void skipWhiteSpace(JsonCursor &cursor) {
  for (; !atEnd(cursor); ++cursor.current) {
    const char c = *cursor.current;
    if (c == '\n') {
      countUp(cursor.line);
      cursor.column = 1;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      countUp(cursor.column);
    } else {
      return;
    }
  }
}

bool startsWithWord(const JsonCursor &cursor, std::string_view word) {
  return static_cast<std::size_t>(cursor.end - cursor.current) >= word.size() &&
         std::memcmp(cursor.current, word.data(), word.size()) == 0;
}

void skipWord(JsonCursor &cursor, std::string_view word) {
  for (std::size_t i = 0; i < word.size(); ++i)
    advanceJsonCursor(cursor, false);
}

// Holds one level of array or object nesting for as long as its reader runs.
class NestingLevel {
public:
  explicit NestingLevel(JsonCursor &cursor) : m_cursor(cursor) {
    if (cursor.depth >= kJsonMaxNesting)
      throwJsonError(kJsonNestedTooDeeply, cursor);
    ++cursor.depth;
  }
  ~NestingLevel() { --m_cursor.depth; }
  NestingLevel(const NestingLevel &) = delete;
  NestingLevel &operator=(const NestingLevel &) = delete;

private:
  JsonCursor &m_cursor;
};

// Steps past the character when the cursor is on it.
bool stepsPast(JsonCursor &cursor, char c) {
  if (!isOn(cursor, c))
    return false;
  advanceJsonCursor(cursor, false);
  return true;
}

// Steps past the "[" or "{" at the cursor and the white space after it; gives
// true when the closing bracket follows at once (and steps past it too).
bool opensEmptyList(JsonCursor &cursor, char closing) {
  advanceJsonCursor(cursor, true);
  skipWhiteSpace(cursor);
  return stepsPast(cursor, closing);
}

// After an element: steps past white space and an optional comma with the
// white space after it; gives true when the closing bracket ends the list
// (and steps past it).
bool closesList(JsonCursor &cursor, char closing) {
  skipWhiteSpace(cursor);
  if (isOn(cursor, ',')) {
    advanceJsonCursor(cursor, true);
    skipWhiteSpace(cursor);
  }
  return stepsPast(cursor, closing);
}

char escapedCharacter(char c) {
  switch (c) {
  case 'n':
    return '\n';
  case 'r':
    return '\r';
  case 't':
    return '\t';
  case 'b':
    return '\b';
  default:
    return c;
  }
}

} // namespace

void throwJsonError(const std::string &message, const JsonCursor &cursor) {
  throw JsonError{message, cursor.line, cursor.column};
}

bool advanceJsonCursor(JsonCursor &cursor, bool throwAtEnd) {
  if (!atEnd(cursor)) {
    ++cursor.current;
    countUp(cursor.column);
  }
  if (!atEnd(cursor))
    return true;
  if (throwAtEnd)
    throwJsonError(kJsonUnexpectedEnd, cursor);
  return false;
}

std::size_t parseJson(JsonValue &value, const char *text, std::ptrdiff_t length) {
  if (!text)
    return 0;
  const std::size_t size = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
  JsonCursor cursor{text, text + size};
  skipWhiteSpace(cursor);
  parseJsonValue(value, cursor);
  return static_cast<std::size_t>(cursor.current - text);
}

void parseJsonValue(JsonValue &value, JsonCursor &cursor) {
  if (!atEnd(cursor)) {
    const char c = *cursor.current;
    if (c == '[')
      return parseJsonArray(value, cursor);
    if (c == '{')
      return parseJsonObject(value, cursor);
    if (c == '"' || c == '\'')
      return parseJsonString(value, cursor);
    if (isDigit(c) || c == '-')
      return parseJsonNumber(value, cursor);
  }
  // The words are prefixes: the character after them is not examined.
  if (startsWithWord(cursor, "true") || startsWithWord(cursor, "false")) {
    const bool truth = *cursor.current == 't';
    value.kind = JsonKind::Bool;
    value.integer = truth ? 1 : 0;
    skipWord(cursor, truth ? "true" : "false");
    return;
  }
  if (startsWithWord(cursor, "null")) {
    value.kind = JsonKind::Null;
    skipWord(cursor, "null");
    return;
  }
  throwJsonError(kJsonUnrecognisedCharacter, cursor);
}

void parseJsonString(JsonValue &value, JsonCursor &cursor) {
  value.kind = JsonKind::String;
  value.text.reserve(64);
  if (atEnd(cursor))
    throwJsonError(kJsonUnexpectedEnd, cursor);
  // Whatever character the string starts with closes it.
  const char delimiter = *cursor.current;
  advanceJsonCursor(cursor, true);
  while (*cursor.current != delimiter) {
    char c = *cursor.current;
    if (c == '\\') {
      advanceJsonCursor(cursor, true);
      c = escapedCharacter(*cursor.current);
    }
    value.text.push_back(c);
    advanceJsonCursor(cursor, true);
  }
  advanceJsonCursor(cursor, false);
}

void parseJsonNumber(JsonValue &value, JsonCursor &cursor) {
  const JsonCursor start = cursor;
  const bool negative = isOn(cursor, '-');
  if (negative)
    advanceJsonCursor(cursor, true);
  // The magnitude a signed 32-bit number can take with this sign.
  const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
  std::uint32_t integerPart = 0;
  bool hasFraction = false;
  double floatingPart = 0.0;
  double divisor = 1.0;
  for (; !atEnd(cursor) && (isDigit(*cursor.current) || *cursor.current == '.');
       advanceJsonCursor(cursor, false)) {
    const char c = *cursor.current;
    if (c == '.') {
      // A further "." starts the fraction again from the integer part.
      hasFraction = true;
      floatingPart = integerPart;
      divisor = 1.0;
      continue;
    }
    const auto digit = static_cast<std::uint32_t>(c - '0');
    if (hasFraction) {
      divisor *= 10.0;
      floatingPart += digit / divisor;
    } else {
      if (integerPart > (limit - digit) / 10)
        throwJsonError(kJsonNumberOutOfRange, start);
      integerPart = integerPart * 10 + digit;
    }
  }
  if (hasFraction) {
    value.kind = JsonKind::Double;
    value.number = negative ? -floatingPart : floatingPart;
  } else {
    value.kind = JsonKind::Int;
    // Negated in unsigned arithmetic, so that 2147483648 becomes the smallest
    // signed number without overflow.
    value.integer = static_cast<std::int32_t>(negative ? 0u - integerPart : integerPart);
  }
}

void parseJsonArray(JsonValue &value, JsonCursor &cursor) {
  const NestingLevel level(cursor);
  value.kind = JsonKind::Array;
  if (opensEmptyList(cursor, ']'))
    return;
  do {
    value.elements.emplace_back();
    parseJsonValue(value.elements.back(), cursor);
  } while (!closesList(cursor, ']'));
}

void parseJsonObject(JsonValue &value, JsonCursor &cursor) {
  const NestingLevel level(cursor);
  value.kind = JsonKind::Object;
  if (opensEmptyList(cursor, '}'))
    return;
  do {
    JsonValue name;
    parseJsonString(name, cursor);
    skipWhiteSpace(cursor);
    // The separator is any one character, normally ":".
    if (atEnd(cursor))
      throwJsonError(kJsonUnexpectedEnd, cursor);
    advanceJsonCursor(cursor, true);
    skipWhiteSpace(cursor);
    // A name given twice reads into its first entry.
    parseJsonValue(value.members[std::move(name.text)], cursor);
  } while (!closesList(cursor, '}'));
}
