// The message-file reader over any bytes. The first byte chooses how the rest
// is read: bit 0 which of two lines for a number wins; bits 1-2 from memory
// (0, 1), or as a file in Shift_JIS (2) or UTF-8 (3), translated into the
// internal encoding on the way as a product's message file is.
#include "FuzzSupport.h"

#include "cmdline/Product.h"
#include "foundation/EncodingKind.h"
#include "foundation/Exception.h"
#include "foundation/TranStreambuf.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageFileReader.h"

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// What every reading must give, whatever the bytes: the logical lines never
// hold a line feed, and a text holds no "@@" (the first one separates the
// second text).
void checkEntries(const M_MessageMap &messages) {
  for (const auto &[number, entry] : messages) {
    (void)number;
    if (entry.text().find('\n') != std::string::npos || entry.secondText().find('\n') != std::string::npos ||
        entry.text().find("@@") != std::string::npos)
      std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz_support::useInstallation("ja_JP.eucJP");
  static const C_Product product("lyr");
  static const bool quiet = [] {
    // The warnings of unknown directives would flood the fuzzer's log.
    std::cerr.rdbuf(nullptr);
    return true;
  }();
  (void)quiet;
  if (size == 0)
    return 0;
  const bool higherWins = data[0] & 1;
  const int source = (data[0] >> 1) & 3;
  M_forgetMessageCatalogue();
  M_MessageMap messages;
  if (source < 2) {
    std::istringstream in(std::string(reinterpret_cast<const char *>(data + 1), size - 1));
    readMessageStream(in, messages, higherWins);
  } else {
    const std::string path = fuzz_support::writeInput(data + 1, size - 1);
    try {
      itranstreambuf buffer(source == 2 ? eceSJIS : eceUTF, path);
      if (!buffer.isOpen())
        std::abort();
      std::istream in(&buffer);
      readMessageStream(in, messages, higherWins);
    } catch (const U_Exception &) {
      // Bytes that do not translate are refused with the translation error.
    }
  }
  checkEntries(messages);
  return 0;
}
