#include "cmdline/Product.h"

#include "cmdline/ConfigFile.h"
#include "foundation/PathText.h"

#include <cstring>

const ProductRecord ProductTable[5] = {
    {2, "LYRPP", "LYRPPBIN", "LYRPPHELPFILES", "lyrpp", lyrppConfigSections, "lyrpp", "LYRPPOUTPATH",
     "LYRPPTEMPFILES"},
    {1, "LYR", "LYRBIN", "LYRHELPFILES", "lyr", lyrConfigSections, "lyr", "LYROUTPATH", "LYRTEMPFILES"},
    {16, "KEF", "KEFBIN", "KEFHELPFILES", "kef", kefConfigSections, "kef", "KEFOUTPATH", "KEFTEMPFILES"},
    // DUV's configuration file has the sections of LYRPP's.
    {4, "DUV", "DUVBIN", "DUVHELPFILES", "duv", lyrppConfigSections, "duv", "DUVOUTPATH", "DUVTEMPFILES"},
    {0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
};

namespace {

C_ProductPtr &currentProduct() {
  static C_ProductPtr current;
  return current;
}

} // namespace

std::int32_t lookupProduct(const char *word) {
  if (!word)
    return -1;
  char buffer[10] = {};
  std::strncpy(buffer, word, 9);
  for (char &c : buffer)
    if (c == '+')
      c = 'P';
  const std::size_t length = std::strlen(buffer);
  std::int32_t index = 0;
  for (; index < 4; ++index) {
    const char *name = ProductTable[index].name;
    if (length == std::strlen(name) && U_strnicmp(buffer, name, length) == 0)
      break;
  }
  return ProductTable[index].id != 0 ? index : -1;
}

C_Product::C_Product(const char *word) : m_name(word ? word : ""), m_index(lookupProduct(word)) {
  if (isValid())
    currentProduct() = std::make_shared<C_Product>(*this);
}

C_Product *C_currentProduct() { return currentProduct().get(); }
