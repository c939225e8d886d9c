// The JSON reader over any bytes: it either reads a value or reports a fault
// with a known message inside the text, and a value reads the same again from
// the bytes it consumed followed by a blank (a lone "-" needs one character
// after it).
#include "checks/JsonReader.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool sameValue(const JsonValue &a, const JsonValue &b) {
  if (a.kind != b.kind)
    return false;
  switch (a.kind) {
  case JsonKind::Null:
    return true;
  case JsonKind::Bool:
  case JsonKind::Int:
    return a.integer == b.integer;
  case JsonKind::Double:
    return std::memcmp(&a.number, &b.number, sizeof a.number) == 0;
  case JsonKind::String:
    return a.text == b.text;
  case JsonKind::Array:
    if (a.elements.size() != b.elements.size())
      return false;
    for (std::size_t i = 0; i < a.elements.size(); ++i)
      if (!sameValue(a.elements[i], b.elements[i]))
        return false;
    return true;
  case JsonKind::Object:
    if (a.members.size() != b.members.size())
      return false;
    for (auto i = a.members.begin(), j = b.members.begin(); i != a.members.end(); ++i, ++j)
      if (i->first != j->first || !sameValue(i->second, j->second))
        return false;
    return true;
  }
  return false;
}

bool knownMessage(const std::string &message) {
  return message == kJsonUnexpectedEnd || message == kJsonUnrecognisedCharacter ||
         message == kJsonNumberOutOfRange || message == kJsonNestedTooDeeply;
}

void check(bool condition) {
  if (!condition)
    std::abort();
}

// Reads the text; on success checks the consumed length and that the
// consumed bytes and a blank read the same value.
void readAndCheck(const char *text, std::size_t size, std::ptrdiff_t length) {
  JsonValue value;
  std::size_t consumed = 0;
  try {
    consumed = parseJson(value, text, length);
  } catch (const JsonError &error) {
    check(knownMessage(error.message));
    check(error.line >= 1 && error.column >= 1);
    // A position is never past the end of the text.
    check(static_cast<std::size_t>(error.line - 1) + static_cast<std::size_t>(error.column - 1) <= size);
    return;
  }
  check(consumed >= 1 && consumed <= size);
  const std::string valueText = std::string(text, consumed) + ' ';
  JsonValue again;
  check(parseJson(again, valueText.data(), static_cast<std::ptrdiff_t>(valueText.size())) == consumed);
  check(sameValue(value, again));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  readAndCheck(text.data(), text.size(), static_cast<std::ptrdiff_t>(text.size()));
  // The same bytes as a NUL-terminated text end at the first NUL.
  readAndCheck(text.c_str(), std::strlen(text.c_str()), -1);
  return 0;
}
