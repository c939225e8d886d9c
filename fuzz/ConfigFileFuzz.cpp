// The product configuration file read through the real reader: its
// sections, then the option words after its "#options" line as the parse
// takes them; and the expansion of "$NAME", "${NAME}" and escapes over each
// line of the input. The first byte chooses the language and the product's
// section table.
#include "FuzzSupport.h"

#include "cmdline/ArgsSource.h"
#include "cmdline/ConfigFile.h"
#include "foundation/Exception.h"
#include "foundation/Language.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// Every expansion of each line stays within the line buffer.
void expandEachLine(const std::string &text) {
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    const std::string line = text.substr(start, end - start);
    for (int flags = 0; flags < 8; ++flags) {
      if (expandConfigText(line, flags & 1, flags & 2, flags & 4).size() > ConfigLineSize - 1)
        std::abort();
      char buffer[ConfigLineSize];
      const std::size_t copied = std::min(line.size(), sizeof buffer - 1);
      line.copy(buffer, copied);
      buffer[copied] = '\0';
      expandConfigLine(buffer, sizeof buffer, flags & 1, flags & 2, flags & 4);
    }
    start = end == text.size() ? end + 1 : end;
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz_support::quietStandardOutput();
  setenv("A", "a", 1);
  setenv("LYR_FUZZ_EMPTY", "", 1);
  setenv("LYR_FUZZ_LONG", std::string(1500, 'L').c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const C_Product &product = fuzz_support::useProduct(data[0]);
  const ConfigSectionTable *const tables[] = {lyrConfigSections, lyrppConfigSections, kefConfigSections};
  const ConfigSectionTable *table = tables[(data[0] / 4) % 3];
  const std::string install = fuzz_support::workDirectory() + "/install";
  fuzz_support::writeInput(data + 1, size - 1, "install/lyr.cfg");

  try {
    fuzz_support::QuietStandardError quiet;
    QL_FileTranslatorPtr file = readProductConfigFile(
        QL_languageEncoding(product), fuzz_support::workDirectory(), install.c_str(), "lyr", table, true);
    if (file.isSet()) {
      // A line gives at most ConfigLineSize - 1 characters, and so at most
      // that many words, whatever its variables hold.
      const std::size_t most = (size + 1) * ConfigLineSize;
      C_FileSource words(product, file);
      for (std::size_t count = 0; words.nextWord(true); ++count)
        if (count > most)
          std::abort();
    }
    expandEachLine(std::string(reinterpret_cast<const char *>(data + 1), size - 1));
  } catch (const U_UserException &) {
    // A file that cannot be translated, or a variable whose value is no name
    // in the product's encoding.
  }
  return 0;
}
