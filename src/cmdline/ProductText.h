// Option text on its way between the product's text encoding, in which option
// words arrive and values are shown, and the internal encoding (EUC).
#pragma once

#include <string>

// From the current product's encoding into the internal encoding.
std::string C_productTextToInternal(const std::string &text);
// From the internal encoding into the current product's encoding.
std::string C_internalToProductText(const std::string &text);
// A file name from the current product's encoding into the internal
// encoding; raises QL_InvalidNameException when the conversion would change
// it (QL_nameToInternal).
std::string C_productNameToInternal(const std::string &name);
