// The byte converters between EUC, Shift_JIS and the three JIS forms, in
// every direction (the first byte chooses the pair), over any bytes: the
// output stays within a few bytes for each byte read, and a string and a
// stream give the same output.
#include "foundation/CountedString.h"
#include "foundation/Destination.h"
#include "foundation/JapaneseConverters.h"
#include "foundation/Source.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  static const QL_EncodingKind kinds[] = {eceNone, eceEUC, eceSJIS, eceOldJIS, eceNewJIS, eceNECJIS};
  constexpr std::size_t count = std::size(kinds);
  const QL_EncodingKind from = kinds[data[0] % count];
  const QL_EncodingKind to = kinds[(data[0] / count) % count];
  const std::string input(reinterpret_cast<const char *>(data + 1), size - 1);

  StringSource text;
  text.setText(CountedString(input));
  StringDestination converted;
  translateFile(text, converted, from, to);
  // At most an escape and a widened character for each byte, and the escape
  // back to single bytes at the end.
  if (converted.bytes().size() > 6 * input.size() + 8)
    std::abort();

  std::istringstream in(input);
  std::ostringstream out;
  StreamSource stream(&in);
  StreamDestination streamOut(&out);
  translateFile(stream, streamOut, from, to);
  if (out.str() != converted.bytes())
    std::abort();
  return 0;
}
