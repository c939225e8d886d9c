// The tagged-line reader over a file holding the input, read in the
// product's language (the first byte chooses it): every record it gives is a
// line that begins with "<" and holds ">", its tag the text between them.
#include "FuzzSupport.h"

#include "foundation/Exception.h"
#include "foundation/TagLineIterator.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  fuzz_support::useProduct(data[0]);
  const std::string path = fuzz_support::writeInput(data + 1, size - 1, "input.c.met");
  try {
    TagLineIterator records;
    if (!records.open(path))
      return 0;
    const TagLineIterator end;
    for (std::size_t count = 0; records != end; ++records) {
      const TagLine &record = records.m_current;
      const std::size_t close = record.m_line.find('>');
      if (++count > size || record.m_line.empty() || record.m_line[0] != '<' || close == std::string::npos ||
          record.m_tag != record.m_line.substr(1, close - 1))
        std::abort();
    }
  } catch (const U_UserException &) {
    // A file that cannot be read or translated.
  }
  return 0;
}
