#include "cmdline/ProductText.h"

// The bytes pass unchanged until the product's language encoding is wired in
// here; every option kind converts through these two functions only.
std::string C_productTextToInternal(const std::string &text) { return text; }

std::string C_internalToProductText(const std::string &text) { return text; }
