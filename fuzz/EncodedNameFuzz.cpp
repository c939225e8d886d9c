// Marking and taking apart encoded names, over any bytes: nothing may crash,
// the markers written pair up, every byte above 0x7F comes back in the
// display form, and the marked form with its kept bytes given back is as long
// as the display form.
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/RecordTokens.h"

#include <array>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// Markers never nest; 0x8D and 0x8F only close what 0x8C and 0x8E opened,
// and 0x90 only stands inside a slot list. A list may be left open at the end.
void checkMarkers(const std::string &marked) {
  bool inArguments = false;
  bool inSlots = false;
  for (unsigned char b : marked) {
    switch (b) {
    case kMarkOpenArguments:
    case kMarkOpenSlots:
      if (inArguments || inSlots)
        std::abort();
      (b == kMarkOpenArguments ? inArguments : inSlots) = true;
      break;
    case kMarkCloseArguments:
      if (!inArguments)
        std::abort();
      inArguments = false;
      break;
    case kMarkCloseSlots:
      if (!inSlots)
        std::abort();
      inSlots = false;
      break;
    case kMarkSlotSeparator:
      if (!inSlots)
        std::abort();
      break;
    default:
      break;
    }
  }
}

std::array<std::size_t, 128> highByteCounts(const std::string &text) {
  std::array<std::size_t, 128> counts{};
  for (unsigned char b : text)
    if (b >= 0x80)
      ++counts[b - 0x80];
  return counts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string encoded(reinterpret_cast<const char *>(data), size);
  const std::string marked = P_markEncodedName(encoded);
  checkMarkers(marked);
  const std::string display = P_unmarkName(marked);
  if (highByteCounts(display) != highByteCounts(encoded))
    std::abort();
  // Marking deletes or changes only ASCII bytes, and never turns one byte
  // into two: given back, the marked form is as long as the display form.
  if (P_restoreNameBytes(marked).size() != display.size() || display.size() > encoded.size())
    std::abort();

  (void)P_normaliseSymbolName(marked);
  (void)P_unqualifiedName(marked);
  (void)P_lastComponent(marked);
  (void)P_restoreNameBytes(P_bareName(marked));
  (void)P_templateArguments(marked);
  (void)P_enclosingScopeName(marked);
  (void)P_scopeHasTemplateArguments(marked);
  (void)P_parameterSlots(marked);
  (void)P_templateClassOf(marked.c_str(), "", 0x10000);
  (void)P_templateClassOf(marked.c_str(), "", 0);
  // Taking apart a text that was never marked must not fail either.
  (void)P_lastComponent(encoded);
  (void)P_templateArguments(encoded);
  (void)P_normaliseSymbolName(encoded);

  std::istringstream in(encoded);
  P_NameToken token;
  for (std::size_t count = 0; count <= size && in >> token; ++count)
    checkMarkers(token.str());
  return 0;
}
