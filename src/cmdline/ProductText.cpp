#include "cmdline/ProductText.h"

#include "cmdline/Product.h"
#include "foundation/PlatformName.h"
#include "foundation/TextConversion.h"

// Before any product is known (nothing has been read yet) there is no
// language to convert from, and the bytes pass unchanged.
std::string C_productTextToInternal(const std::string &text) {
  return C_currentProduct() ? QL_toInternal(text) : text;
}

std::string C_productNameToInternal(const std::string &name) {
  const C_Product *product = C_currentProduct();
  return product ? QL_nameToInternal(*product, name) : name;
}

std::string C_internalToProductText(const std::string &text) {
  return C_currentProduct() ? QL_fromInternal(text) : text;
}
