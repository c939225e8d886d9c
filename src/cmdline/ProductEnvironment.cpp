#include "cmdline/ProductEnvironment.h"

#include "cmdline/ConfigurationException.h"
#include "foundation/Assertion.h"
#include "foundation/Exception.h"
#include "foundation/PathText.h"
#include "foundation/TempFileName.h"
#include "platform/Environment.h"
#include "platform/TempFile.h"

#include <optional>

namespace {

const ProductRecord &recordOf(const C_Product &product) {
  U_ASSERT_THROW(product.isValid());
  return ProductTable[product.index()];
}

std::string triedVariableLine(const std::string &variable, const std::string &directory) {
  return "\tTried directory from environment variable " + variable + ": " + directory + "\n";
}

} // namespace

std::string productBinVariableName(const C_Product &product) { return recordOf(product).binVariable; }

bool hasProductBinDir(const C_Product &product) {
  return product.isValid() && platform::environmentValue(productBinVariableName(product)).has_value();
}

std::string productBinDir(const C_Product &product) {
  const std::string variable = productBinVariableName(product);
  const std::optional<std::string> value = platform::environmentValue(variable);
  if (!value)
    throw C_ConfigurationException("\nERROR: " + variable + " environment variable not found\n");
  return U_toForwardSlashes(*value);
}

std::string currentProductBinDir(const C_Product &product) { return productBinDir(product); }

std::string productTempDir(const C_Product &product) {
  std::string message = "Error finding temporary directory:\n";
  const std::string variable = recordOf(product).tempFilesVariable;
  if (const std::optional<std::string> value = platform::environmentValue(variable)) {
    if (QL_isUsableTempDir(*value))
      return *value;
    throw U_UserException(message + triedVariableLine(variable, *value));
  }
  if (const std::optional<std::string> tmp = platform::environmentValue("TMP")) {
    if (QL_isUsableTempDir(*tmp))
      return *tmp;
    message += triedVariableLine("TMP", *tmp);
  }
  const std::string last = platform::systemTempDirectory();
  if (QL_isUsableTempDir(last))
    return last;
  throw U_UserException(message + "\tTried directory: " + last + "\n");
}

std::string currentTempDir() {
  const C_Product *product = C_currentProduct();
  U_ASSERT_THROW(product != nullptr);
  return productTempDir(*product);
}

QL_Filename implicitHeaderFile(const C_CmdArgs &args) {
  return QL_Filename::fromAbsolutePath(U_joinPath(productBinDir(args.product()), "implicit.h"));
}
