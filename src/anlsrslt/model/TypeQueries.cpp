#include "anlsrslt/model/TypeQueries.h"

#include "foundation/Assertion.h"
#include "foundation/NumberRanges.h"
#include "foundation/StringStore.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr const char *kUnit = "TypeQueries";
constexpr char arrayChar = '[';

} // namespace

bool P_isTypeArray(const char *type) {
  if (!type || std::strlen(type) == 0)
    assertFailed(kUnit, __LINE__,
                 "strlen (type) > 0 && \"Our type string should have a length greater than 0\"", true);
  if (type[0] != arrayChar)
    return false;
  if (std::strlen(type) <= 4)
    assertFailed(kUnit, __LINE__,
                 "(! (type[0] == arrayChar)) || (strlen (type) > 4 && \"Our array type string should have a "
                 "length greater than 4  [?,] \")",
                 true);
  return true;
}

bool P_isUndimArray(const char *type) {
  if (!P_isTypeArray(type))
    assertFailed(kUnit, __LINE__,
                 "P_isTypeArray (type) && \"We should only ask array types if they are undimensioned\"",
                 true);
  return type[1] == '0' || type[1] == '?';
}

const char *P_typeArrayElement(const char *type) {
  if (!P_isTypeArray(type))
    assertFailed(kUnit, __LINE__,
                 "P_isTypeArray (type) && \"We should only ask array types for their element types\"", true);
  const std::string_view text(type);
  const std::size_t comma = text.find(',');
  const std::size_t begin = comma == std::string_view::npos ? 0 : comma + 1;
  std::size_t end = text.rfind(']');
  if (end == std::string_view::npos)
    end = text.size();
  // A ']' before the first ',' leaves nothing between them.
  if (end < begin)
    end = begin;
  return internString(std::string(text.substr(begin, end - begin)).c_str());
}

std::uint32_t P_typeArrayDimension(const char *type) {
  if (!P_isTypeArray(type))
    assertFailed(kUnit, __LINE__, "P_isTypeArray (type)", true);
  if (P_isUndimArray(type))
    assertFailed(kUnit, __LINE__,
                 "! P_isUndimArray (type) && \"We should only ask dimensioned arrays for their dimensions\"",
                 true);
  const std::string_view text(type);
  const std::size_t begin = text.find(arrayChar) + 1;
  std::size_t end = text.rfind(',');
  if (end == std::string_view::npos || end < begin)
    end = text.size();
  const std::int32_t dimension = toInt(std::string(text.substr(begin, end - begin)));
  return dimension < 0 ? 0 : static_cast<std::uint32_t>(dimension);
}
