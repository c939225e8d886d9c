// A small, lenient JSON reader for the one-line objects of the name rule file.
// Strings may be quoted with either quotation mark, commas between elements
// are optional, a trailing comma is allowed and text after the first value is
// not examined. Every fault is reported with a message, a line and a column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The kind of a value, numbered as stored.
enum class JsonKind : std::int32_t {
  Null = 0,
  Bool = 1,
  Int = 2,
  Double = 3,
  String = 4,
  Array = 5,
  Object = 6
};

// One value. The fields stand side by side; the kind says which of them is
// meaningful. A new value is Int 0. A value owns its text, elements and
// members: copies are deep.
struct JsonValue {
  JsonKind kind = JsonKind::Int;
  std::int32_t integer = 0; // an Int's number; 1 or 0 for a Bool
  double number = 0.0;      // a Double's number
  std::string text;         // a String's characters
  std::vector<JsonValue> elements;
  std::map<std::string, JsonValue> members; // by ascending byte order of the names, one entry a name
};

// What the reader throws, by value, at the first fault.
struct JsonError {
  std::string message;
  std::int32_t line;   // from 1
  std::int32_t column; // from 1
};

// The reader's position. Each character stepped over adds 1 to the column,
// except a line feed in white space, which starts the next line at column 1.
struct JsonCursor {
  const char *current;
  const char *end; // one past the last character
  std::int32_t line = 1;
  std::int32_t column = 1;
  std::int32_t depth = 0; // arrays and objects open around the cursor
};

// The faults the reader reports.
inline constexpr const char *kJsonUnexpectedEnd = "unexpected end of input";
inline constexpr const char *kJsonUnrecognisedCharacter = "unrecognised character";
inline constexpr const char *kJsonNumberOutOfRange = "number out of range";
inline constexpr const char *kJsonNestedTooDeeply = "nested too deeply";

// Arrays and objects nested deeper than this are refused, so that no text can
// exhaust the stack.
inline constexpr int kJsonMaxNesting = 256;

// Reads the first value of the text into the value and gives the bytes from
// the start of the text to the end of that value. A negative length reads a
// NUL-terminated text; a null text gives 0 and leaves the value unchanged.
// Throws JsonError.
std::size_t parseJson(JsonValue &value, const char *text, std::ptrdiff_t length);

// The readers of one value of each form, from the cursor; each leaves the
// cursor after what it read. A string is appended to the value's text. Throw
// JsonError; the value is then left partly filled.
void parseJsonValue(JsonValue &value, JsonCursor &cursor);
void parseJsonArray(JsonValue &value, JsonCursor &cursor);
void parseJsonObject(JsonValue &value, JsonCursor &cursor);
void parseJsonString(JsonValue &value, JsonCursor &cursor);
// A number has an optional "-", digits and fractions started by ".": no "+",
// no exponent. Its integer part must fit a signed 32-bit number, else it is
// refused at the position where the number starts.
void parseJsonNumber(JsonValue &value, JsonCursor &cursor);

// Throws JsonError with the message at the cursor's line and column.
[[noreturn]] void throwJsonError(const std::string &message, const JsonCursor &cursor);

// Steps one character forward and gives whether a character is left; with
// throwAtEnd, no character left throws "unexpected end of input".
bool advanceJsonCursor(JsonCursor &cursor, bool throwAtEnd);
