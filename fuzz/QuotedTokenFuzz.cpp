// Quoted tokens, the unescaping of format texts and number lists, over any
// bytes.
#include "foundation/NumberRanges.h"
#include "foundation/QuotedToken.h"

#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  std::istringstream in(text);
  std::string token;
  // Every token consumes at least one character or ends the stream.
  for (std::size_t count = 0; count <= size && in >> U_QuotedToken(token); ++count)
    (void)U_unescape(token);
  std::vector<std::int32_t> numbers;
  parseNumberRanges(text, std::back_inserter(numbers));
  (void)toInt(text);
  return 0;
}
