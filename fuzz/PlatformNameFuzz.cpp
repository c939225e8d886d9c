// The ini reader over a file holding the input, and the conversion of file
// names between the internal encoding and the product's language (the first
// byte chooses it) over the input as a name: a name taken in comes back out
// unchanged, or is refused.
#include "FuzzSupport.h"

#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "foundation/PlatformName.h"
#include "foundation/TextConversion.h"
#include "foundation/TranslateException.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  fuzz_support::quietStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const C_Product &product = fuzz_support::useProduct(data[0]);
  const std::string name(reinterpret_cast<const char *>(data + 1), size - 1);

  const std::string ini = fuzz_support::writeInput(data + 1, size - 1, "input.ini");
  for (const char *section : {"Japanese", ""})
    if (U_readIniValue(ini, section, "ZUT_LANG").size() > U_iniValueMaxLength)
      std::abort();

  const QL_EncodingKind kind = QL_languageEncoding(product);
  try {
    const std::string internal = QL_nameToInternal(product, name);
    if (QL_fromInternal(internal, product, kind) != name || nameForPlatform(internal) != name ||
        nameFromPlatform(name) != internal)
      std::abort();
  } catch (const QL_InvalidNameException &) {
    // Not a name of this encoding.
  }
  // Any text converts both ways, whatever becomes of it.
  (void)QL_fromInternal(QL_toInternal(product, name, kind), product, kind);
  return 0;
}
