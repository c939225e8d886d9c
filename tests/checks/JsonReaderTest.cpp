#include "checks/JsonReader.h"

#include "support/Bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A short text form of a value for comparisons: null, true, 12, d-12.5,
// "text" (control and high bytes escaped), [a,b], {name=value,...} in map order.
std::string describe(const JsonValue &value) {
  switch (value.kind) {
  case JsonKind::Null:
    return "null";
  case JsonKind::Bool:
    return value.integer ? "true" : "false";
  case JsonKind::Int:
    return std::to_string(value.integer);
  case JsonKind::Double: {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "d%.15g", value.number);
    return buffer;
  }
  case JsonKind::String: {
    std::string out = "\"";
    for (unsigned char c : value.text) {
      if (c == '\n')
        out += "\\n";
      else if (c == '\t')
        out += "\\t";
      else if (c < 0x20 || c >= 0x7F) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
        out += buffer;
      } else
        out += static_cast<char>(c);
    }
    return out + "\"";
  }
  case JsonKind::Array: {
    std::string out = "[";
    for (const JsonValue &element : value.elements)
      out += (out.size() > 1 ? "," : "") + describe(element);
    return out + "]";
  }
  case JsonKind::Object: {
    std::string out = "{";
    for (const auto &[name, member] : value.members)
      out += (out.size() > 1 ? "," : "") + name + "=" + describe(member);
    return out + "}";
  }
  }
  return "?";
}

TEST(JsonReaderTest, AcceptedTexts) {
  struct Case {
    std::string text;
    std::string expected;
    std::size_t consumed;
  };
  const Case cases[] = {
      {"{'message':5001,'space':'macro'}", "{message=5001,space=\"macro\"}", 32},
      {"{\"message\":5001,\"space\":\"macro\"}", "{message=5001,space=\"macro\"}", 32},
      // Commas are optional and may trail.
      {"[1 2,3,]", "[1,2,3]", 8},
      {"{'a':1,}", "{a=1}", 8},
      {"[]", "[]", 2},
      {"{ }", "{}", 3},
      {"[[[]],{}]", "[[[]],{}]", 9},
      {"{'a':{'b':[true,null,false]}}", "{a={b=[true,null,false]}}", 29},
      // Numbers: no exponent, no "+"; a further "." restarts the fraction.
      {"-12.5", "d-12.5", 5},
      {"1.2.3", "d1.3", 5},
      {"0.25", "d0.25", 4},
      {"-.5", "d-0.5", 3},
      {"7.", "d7", 2},
      {"-x", "0", 1},
      {"-{'a'", "0", 1},
      {"-0", "0", 2},
      {"007", "7", 3},
      {"12e3", "12", 2},
      // The 32-bit limits themselves.
      {"2147483647", "2147483647", 10},
      {"-2147483648", "-2147483648", 11},
      {"2147483647.5", "d2147483647.5", 12},
      {"-2147483648.5", "d-2147483648.5", 13},
      {"0.000000000000000000000000000001", "d1e-30", 32},
      // Words are prefixes and case-sensitive.
      {"truex", "true", 4},
      {"false", "false", 5},
      {"nullnull", "null", 4},
      // Strings: either quotation mark, escapes n r t b, anything else itself.
      {"\"\\n\\t\\q\"", "\"\\n\\tq\"", 8},
      {"'\\u0041'", "\"u0041\"", 8},
      {"'it\\'s'", "\"it's\"", 7},
      {"\"a'b\"", "\"a'b\"", 5},
      {"'\\\\'", "\"\\\"", 4},
      {"'\\r\\b'", "\"\\x0D\\x08\"", 6},
      {"'a\nb'", "\"a\\nb\"", 5},
      {"''", "\"\"", 2},
      // The member separator is any one character.
      {"{'a' = 1}", "{a=1}", 9},
      {"{'a'~1 'b'\n:\n2}", "{a=1,b=2}", 15},
      // Names in ascending byte order: bytes above 0x7F come after ASCII.
      {"{'b':1,'a':2}", "{a=2,b=1}", 13},
      {"{'\xA4\xA2':1,'z':2}", "{z=2,\xA4\xA2=1}", 14},
      // A name given twice reads into its first entry.
      {"{'a':'x','a':'y'}", "{a=\"xy\"}", 17},
      {"{'a':[1],'a':[2 3]}", "{a=[1,2,3]}", 19},
      {"{'a':1,'a':-2}", "{a=-2}", 14},
      {"{'a':'s','a':true}", "{a=true}", 18},
      {"{'a':{'x':1},'a':{'y':2}}", "{a={x=1,y=2}}", 25},
      // White space before the value counts; text after it is not read.
      {" \t\r\n [ ]", "[]", 8},
      {"{'a':1} trailing", "{a=1}", 7},
      {"5]]]", "5", 1},
      {"'x' 'y'", "\"x\"", 3},
  };
  for (const Case &c : cases) {
    JsonValue value;
    std::size_t consumed = 0;
    try {
      consumed = parseJson(value, c.text.c_str(), static_cast<std::ptrdiff_t>(c.text.size()));
    } catch (const JsonError &error) {
      ADD_FAILURE() << c.text << ": " << error.message << " at " << error.line << ":" << error.column;
      continue;
    }
    EXPECT_EQ(c.expected, describe(value)) << c.text;
    EXPECT_EQ(c.consumed, consumed) << c.text;
  }
}

TEST(JsonReaderTest, RejectedTextsWithPositions) {
  struct Case {
    std::string text;
    std::string message;
    std::int32_t line;
    std::int32_t column;
  };
  const std::string unexpectedEnd = "unexpected end of input";
  const std::string unrecognised = "unrecognised character";
  const std::string outOfRange = "number out of range";
  const Case cases[] = {
      // No value where one is expected.
      {"", unrecognised, 1, 1},
      {"   ", unrecognised, 1, 4},
      {"True", unrecognised, 1, 1},
      {"x", unrecognised, 1, 1},
      {"nul", unrecognised, 1, 1},
      {"fals", unrecognised, 1, 1},
      {".5", unrecognised, 1, 1},
      {"+1", unrecognised, 1, 1},
      {"[1", unrecognised, 1, 3},
      {"[1,,2]", unrecognised, 1, 4},
      {"{'a':}", unrecognised, 1, 6},
      // The text ends inside a string or a name ...
      {"\"abc", unexpectedEnd, 1, 5},
      {"'a\nb", unexpectedEnd, 1, 5},
      {"'a\\", unexpectedEnd, 1, 4},
      {"{x", unexpectedEnd, 1, 3},
      {"{a:1}", unexpectedEnd, 1, 6},
      // ... right after "[", "{", "-", a name, a separator or a comma ...
      {"[", unexpectedEnd, 1, 2},
      {"{", unexpectedEnd, 1, 2},
      {"-", unexpectedEnd, 1, 2},
      {"[-", unexpectedEnd, 1, 3},
      {"{'a'", unexpectedEnd, 1, 5},
      {"{'a' ", unexpectedEnd, 1, 6},
      {"{'a':", unexpectedEnd, 1, 6},
      {"[1,", unexpectedEnd, 1, 4},
      {"{'a':1,", unexpectedEnd, 1, 8},
      // ... or after a member's value of an object that is not closed.
      {"{'a':1", unexpectedEnd, 1, 7},
      {"{'a':1 'b'}", unexpectedEnd, 1, 12},
      // A line feed in white space starts line 2 at column 1.
      {"\n  x", unrecognised, 2, 3},
      {"[1,\n\t@]", unrecognised, 2, 2},
      {"{'a':\r\n\r\n", unrecognised, 3, 1},
      // A number outside 32 bits, at the position where it starts.
      {"2147483648", outOfRange, 1, 1},
      {"  -2147483649", outOfRange, 1, 3},
      {"4294967297", outOfRange, 1, 1},
      {"99999999999999999999999", outOfRange, 1, 1},
      {"[1, 12345678901]", outOfRange, 1, 5},
      {"12345678901.5", outOfRange, 1, 1},
      {"{'message':\n 4294967296}", outOfRange, 2, 2},
  };
  for (const Case &c : cases) {
    JsonValue value;
    try {
      const std::size_t consumed =
          parseJson(value, c.text.c_str(), static_cast<std::ptrdiff_t>(c.text.size()));
      ADD_FAILURE() << c.text << ": accepted " << describe(value) << ", " << consumed << " bytes";
    } catch (const JsonError &error) {
      EXPECT_EQ(c.message, error.message) << c.text;
      EXPECT_EQ(c.line, error.line) << c.text;
      EXPECT_EQ(c.column, error.column) << c.text;
    }
  }
}

TEST(JsonReaderTest, NestingIsLimited) {
  const std::string deepest = std::string(kJsonMaxNesting, '[') + std::string(kJsonMaxNesting, ']');
  JsonValue value;
  EXPECT_EQ(deepest.size(), parseJson(value, deepest.c_str(), -1));

  // One level more is refused at the bracket that opens it, for arrays and
  // objects alike; the text is not read any further.
  for (const std::string &opening : {std::string("["), std::string("{'a':")}) {
    std::string tooDeep;
    for (int i = 0; i <= kJsonMaxNesting; ++i)
      tooDeep += opening;
    try {
      parseJson(value, tooDeep.c_str(), -1);
      ADD_FAILURE() << opening << " accepted " << kJsonMaxNesting + 1 << " levels";
    } catch (const JsonError &error) {
      EXPECT_EQ("nested too deeply", error.message) << opening;
      EXPECT_EQ(1, error.line);
      EXPECT_EQ(static_cast<std::int32_t>(opening.size()) * kJsonMaxNesting + 1, error.column) << opening;
    }
  }
  // A hundred thousand brackets end in that error too, not in a crash.
  const std::string flood(100000, '[');
  EXPECT_THROW(parseJson(value, flood.c_str(), -1), JsonError);
}

TEST(JsonReaderTest, LengthOfTheText) {
  JsonValue value;
  // A negative length reads up to the NUL; a given length is all there is,
  // NUL bytes included.
  EXPECT_EQ(3u, parseJson(value,
                          "123\0"
                          "45",
                          -1));
  EXPECT_EQ(123, value.integer);
  EXPECT_EQ(2u, parseJson(value, "12345", 2));
  EXPECT_EQ(12, value.integer);
  const std::string withNul = BYTES("'a\0b'");
  JsonValue text;
  EXPECT_EQ(5u, parseJson(text, withNul.data(), static_cast<std::ptrdiff_t>(withNul.size())));
  EXPECT_EQ(BYTES("a\0b"), text.text);
  // The text ends with the given length even inside a string.
  try {
    parseJson(value, "'abc'", 3);
    ADD_FAILURE() << "read past the given length";
  } catch (const JsonError &error) {
    EXPECT_EQ("unexpected end of input", error.message);
    EXPECT_EQ(4, error.column);
  }
}

TEST(JsonReaderTest, NullTextLeavesTheValueAlone) {
  JsonValue value;
  value.kind = JsonKind::String;
  value.text = "kept";
  EXPECT_EQ(0u, parseJson(value, nullptr, -1));
  EXPECT_EQ(0u, parseJson(value, nullptr, 10));
  EXPECT_EQ(JsonKind::String, value.kind);
  EXPECT_EQ("kept", value.text);
}

TEST(JsonReaderTest, NewValueIsIntZero) {
  const JsonValue value;
  EXPECT_EQ(JsonKind::Int, value.kind);
  EXPECT_EQ(0, value.integer);
  EXPECT_EQ(0.0, value.number);
  EXPECT_TRUE(value.text.empty());
  EXPECT_TRUE(value.elements.empty());
  EXPECT_TRUE(value.members.empty());
  // Kinds are stored with these numbers.
  EXPECT_EQ(0, static_cast<int>(JsonKind::Null));
  EXPECT_EQ(3, static_cast<int>(JsonKind::Double));
  EXPECT_EQ(6, static_cast<int>(JsonKind::Object));
}

TEST(JsonReaderTest, FieldsStandSideBySide) {
  // Each reading sets the kind and its own field; the other fields keep what
  // they held, and a string is appended to the text already there.
  JsonValue value;
  parseJson(value, "'ab'", -1);
  parseJson(value, "2.5", -1);
  parseJson(value, "7", -1);
  EXPECT_EQ(JsonKind::Int, value.kind);
  EXPECT_EQ(7, value.integer);
  EXPECT_EQ(2.5, value.number);
  EXPECT_EQ("ab", value.text);
  parseJson(value, "\"cd\"", -1);
  EXPECT_EQ(JsonKind::String, value.kind);
  EXPECT_EQ("abcd", value.text);
}

TEST(JsonReaderTest, FaultLeavesWhatWasRead) {
  JsonValue value;
  EXPECT_THROW(parseJson(value, "{'a':1,'b':[2,x]}", -1), JsonError);
  EXPECT_EQ("{a=1,b=[2,0]}", describe(value));
}

TEST(JsonReaderTest, CopiesAreDeep) {
  JsonValue original;
  parseJson(original, "{'list':[1,'two',{'three':3}]}", -1);
  JsonValue copy = original;
  copy.members["list"].elements[2].members["three"].integer = 4;
  copy.members["list"].elements[1].text += "!";
  EXPECT_EQ("{list=[1,\"two\",{three=3}]}", describe(original));
  EXPECT_EQ("{list=[1,\"two!\",{three=4}]}", describe(copy));
}

TEST(JsonReaderTest, CursorSteps) {
  const char text[] = "a\nb";
  JsonCursor cursor{text, text + 3};
  // A line feed stepped over outside white space is one more column.
  EXPECT_TRUE(advanceJsonCursor(cursor, false));
  EXPECT_TRUE(advanceJsonCursor(cursor, true));
  EXPECT_EQ(1, cursor.line);
  EXPECT_EQ(3, cursor.column);
  EXPECT_FALSE(advanceJsonCursor(cursor, false));
  EXPECT_EQ(4, cursor.column);
  // At the end nothing moves; asked to, it throws.
  EXPECT_FALSE(advanceJsonCursor(cursor, false));
  EXPECT_EQ(text + 3, cursor.current);
  try {
    advanceJsonCursor(cursor, true);
    ADD_FAILURE() << "no error at the end";
  } catch (const JsonError &error) {
    EXPECT_EQ("unexpected end of input", error.message);
    EXPECT_EQ(4, error.column);
  }
}

} // namespace
