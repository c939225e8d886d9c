// The file translators of every encoding kind over a file holding the input:
// reading it into the internal encoding as every text file is read, and
// writing it out in the kind as the record file is written. The first byte
// chooses the kind, the language, the direction and the mode. No temporary
// copy outlives its translator.
#include "FuzzSupport.h"

#include "foundation/Exception.h"
#include "foundation/FileTranslator.h"
#include "foundation/TranStreambuf.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

namespace {

// The files in the work directory: the installation, the input and the
// output, and no temporary copy.
void expectNoTemporaryFiles() {
  for (const auto &entry : std::filesystem::directory_iterator(fuzz_support::workDirectory())) {
    const std::string name = entry.path().filename().string();
    if (name != "install" && name != "input" && name != "output")
      std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  static const QL_EncodingKind kinds[] = {eceNone, eceEUC, eceSJIS, eceOldJIS, eceNewJIS, eceNECJIS, eceUTF};
  constexpr std::size_t count = std::size(kinds);
  const std::uint8_t selector = data[0];
  const QL_EncodingKind kind = kinds[selector % count];
  fuzz_support::useProduct(static_cast<std::uint8_t>(selector / count));
  const bool writing = selector & 0x40;
  const bool binaryOrAppend = selector & 0x80;
  const std::string path = fuzz_support::writeInput(data + 1, size - 1);
  const std::string &directory = fuzz_support::workDirectory();

  try {
    if (!writing) {
      QL_FileTranslator translator(kind, directory);
      if (std::FILE *file = translator.open(path, binaryOrAppend)) {
        // Each character of the file gives at most a few bytes.
        std::size_t read = 0;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
          if ((read += n) > 4 * size + 16)
            std::abort();
      }
    } else {
      const std::string output = directory + "/output";
      std::filesystem::remove(output);
      otranstreambuf buffer(kind, output, binaryOrAppend);
      std::ostream out(&buffer);
      out.write(reinterpret_cast<const char *>(data + 1), static_cast<std::streamsize>(size - 1));
      out.flush();
      buffer.close();
    }
  } catch (const U_UserException &) {
    // A translation that cannot be done.
  }
  expectNoTemporaryFiles();
  return 0;
}
