#include "cmdline/ProductEnvironment.h"

#include "cmdline/ConfigurationException.h"
#include "foundation/Assertion.h"
#include "foundation/Exception.h"
#include "foundation/FileSystem.h"
#include "foundation/Language.h"
#include "foundation/PathText.h"
#include "foundation/PlatformName.h"
#include "foundation/TempFileName.h"
#include "foundation/TextConversion.h"
#include "platform/Environment.h"
#include "platform/TempFile.h"

namespace {

const ProductRecord &recordOf(const C_Product &product) {
  U_ASSERT_THROW(product.isValid());
  return ProductTable[product.index()];
}

std::string triedVariableLine(const std::string &variable, const std::string &directory) {
  return "\tTried directory from environment variable " + variable + ": " + directory + "\n";
}

// Internal text back in the product's encoding.
std::string inProductEncoding(const C_Product &product, const std::string &text) {
  return QL_fromInternal(text, product, QL_languageEncoding(product));
}

bool isReadableRegularFile(const std::string &platformPath) {
  return U_isReadable(platformPath) && U_isRegularFile(platformPath);
}

// The lines of the implicit header that the kinds stand for.
constexpr std::int32_t implicitHeaderLines[ImplicitHeaderKinds] = {1, 11, 21, 35, 45, 54, 65};

struct ImplicitHeaderLocation {
  U_Location location;
  bool built = false;
};

ImplicitHeaderLocation (&implicitHeaderTable())[ImplicitHeaderKinds] {
  static ImplicitHeaderLocation table[ImplicitHeaderKinds];
  return table;
}

const C_CmdArgs &currentArgs() {
  const C_CmdArgs *args = C_currentCmdArgs();
  U_ASSERT_THROW(args != nullptr);
  return *args;
}

} // namespace

std::optional<std::string> productEnvironmentValue(const C_Product &product, const std::string &name) {
  // The product's language, which decides the conversion, is itself looked
  // up in the installation directory: while it is being worked out, values
  // are taken as they are.
  static bool converting = false;
  std::optional<std::string> value = platform::environmentValue(name);
  if (value && !converting) {
    struct Converting {
      Converting() { converting = true; }
      ~Converting() { converting = false; }
    } guard;
    *value = QL_nameToInternal(product, *value);
  }
  return value;
}

std::string productBinVariableName(const C_Product &product) { return recordOf(product).binVariable; }

std::string productName(const C_Product &product) { return recordOf(product).name; }

std::string productConfigName(const C_Product &product) { return recordOf(product).configName; }

bool hasProductBinDir(const C_Product &product) {
  return product.isValid() && platform::environmentValue(productBinVariableName(product)).has_value();
}

std::string productBinDir(const C_Product &product) {
  // Taken into the internal encoding first, so that the second byte of a
  // double-byte character is never taken for a backslash.
  const std::optional<std::string> value = productEnvironmentValue(product, productBinVariableName(product));
  if (!value)
    throw missingBinDirError(product);
  return QL_toForwardSlashes(*value);
}

C_ConfigurationException missingBinDirError(const C_Product &product) {
  return C_ConfigurationException("\nERROR: " + productBinVariableName(product) +
                                  " environment variable not found\n");
}

std::string currentProductBinDir(const C_Product &product) { return productBinDir(product); }

std::string outputDirectory() { return outputDirectory(currentArgs()); }

std::string outputDirectory(const C_CmdArgs &args) {
  const C_Options *options = args.options();
  U_ASSERT_THROW(options != nullptr);
  return outputDirectory(args.product(), options->outputPath().getValue());
}

std::string outputDirectory(const C_Product &product, const std::string &outputPathOption) {
  if (!outputPathOption.empty())
    return outputPathOption;
  if (const std::optional<std::string> value =
          productEnvironmentValue(product, recordOf(product).outPathVariable))
    return QL_toForwardSlashes(*value);
  return ".";
}

std::string productTempDir(const C_Product &product) {
  std::string message = "Error finding temporary directory:\n";
  const std::string variable = recordOf(product).tempFilesVariable;
  if (const std::optional<std::string> value = productEnvironmentValue(product, variable)) {
    if (QL_isUsableTempDir(*value))
      return *value;
    throw U_UserException(message + triedVariableLine(variable, inProductEncoding(product, *value)));
  }
  if (const std::optional<std::string> tmp = productEnvironmentValue(product, "TMP")) {
    if (QL_isUsableTempDir(*tmp))
      return *tmp;
    message += triedVariableLine("TMP", inProductEncoding(product, *tmp));
  }
  const std::string last = platform::systemTempDirectory();
  const std::string lastInternal = QL_nameToInternal(product, last);
  if (QL_isUsableTempDir(lastInternal))
    return lastInternal;
  throw U_UserException(message + "\tTried directory: " + last + "\n");
}

std::string currentTempDir() { return productTempDir(C_requireCurrentProduct()); }

std::string productRcFile(const C_Product &product) {
  const ProductRecord &record = recordOf(product);
  std::string name = "."; // built piecewise: GCC 12 misreports "." + std::string as overlapping
  name += record.rcName;
  name += "rc";
  if (const std::optional<std::string> list =
          platform::environmentValue(std::string(record.name) + "RCPATH")) {
    const std::string found = U_findInPathList(*list, name);
    if (!found.empty())
      return found;
  }
  const std::string inCurrent = U_joinPath(U_currentDirectory(), name);
  if (isReadableRegularFile(inCurrent))
    return inCurrent;
  if (const std::optional<std::string> home = productEnvironmentValue(product, "HOME")) {
    const std::string inHome = inProductEncoding(product, QL_joinPath(QL_toForwardSlashes(*home), name));
    if (isReadableRegularFile(inHome))
      return inHome;
  }
  return std::string();
}

std::vector<std::string> languageNameParts(const std::string &separator, QL_EncodingKind kind) {
  return languageNameParts(separator, kind, kind == eceUTF ? QL_localeName() : std::string());
}

std::vector<std::string> languageNameParts(const std::string &separator, QL_EncodingKind kind,
                                           const std::string &localeName) {
  switch (kind) {
  case eceUTF: {
    std::vector<std::string> parts;
    if (localeName.size() > 2)
      parts.push_back(localeName.substr(0, 2));
    parts.push_back(localeName);
    return parts;
  }
  case eceNone:
    return {};
  case eceEUC:
    return {"jp" + separator + "euc"};
  case eceSJIS:
    return {"jp" + separator + "sj"};
  default:
    return {"jp" + separator};
  }
}

std::string findLanguageVariant(const std::string &base, const std::string &suffix,
                                const std::vector<std::string> &parts) {
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
    const std::string candidate = QL_addExtension(QL_addExtension(base, *part), suffix);
    if (QL_isReadableFile(candidate))
      return candidate;
  }
  return QL_addExtension(base, suffix);
}

std::string productMessageFile() { return productMessageFile(C_requireCurrentProduct()); }

std::string productMessageFile(const C_Product &product) {
  const std::string base = QL_joinPath(currentProductBinDir(product), recordOf(product).configName);
  return findLanguageVariant(base, "msg", languageNameParts(".", QL_languageEncoding(product)));
}

std::string findUserFileIn(const C_Product &product, const std::string &directory,
                           const std::string &suffix) {
  const std::string base = QL_addExtension(QL_joinPath(directory, recordOf(product).configName), "usr");
  return findLanguageVariant(base, suffix, languageNameParts(".", QL_languageEncoding(product)));
}

std::string findProductFile(const std::string &suffix, const std::string &directory) {
  return findProductFile(C_requireCurrentProduct(), suffix, directory);
}

std::string findProductFile(const C_Product &product, const std::string &suffix,
                            const std::string &directory) {
  const std::string found = findUserFileIn(product, directory, suffix);
  if (QL_isReadableFile(found))
    return found;
  return findUserFileIn(product, currentProductBinDir(product), suffix);
}

std::string userMessageFile() { return userMessageFile(currentArgs()); }

std::string userMessageFile(const C_CmdArgs &args) {
  const C_Options *options = args.options();
  U_ASSERT_THROW(options != nullptr);
  const C_OptionFilename &usrPath = options->usrPath();
  return userMessageFile(args.product(),
                         usrPath.isSet() ? std::optional<std::string>(usrPath.getValue()) : std::nullopt,
                         options->usrFile().getValue());
}

std::string userMessageFile(const C_Product &product, const std::optional<std::string> &usrPath,
                            const std::string &usrFile) {
  return findProductFile(product, usrFile, usrPath ? *usrPath : currentProductBinDir(product));
}

U_Location implicitHeaderLocation(const C_CmdArgs &args, std::int32_t kind) {
  U_ASSERT_THROW(kind >= 0 && kind < ImplicitHeaderKinds);
  ImplicitHeaderLocation &entry = implicitHeaderTable()[kind];
  if (!entry.built) {
    const C_Options *options = args.options();
    const bool alwaysFirst = options && C_Options::hasDebugFlag(*options, "always-first");
    const QL_Filename file =
        QL_Filename::fromAbsolutePath(U_joinPath(productBinDir(args.product()), "implicit.h"));
    entry.location = U_Location(file, implicitHeaderLines[kind], 0);
    entry.built = !alwaysFirst;
  }
  return entry.location;
}

U_Location currentImplicitHeaderLocation(std::int32_t kind) {
  return implicitHeaderLocation(currentArgs(), kind);
}

void resetImplicitHeaderLocations() {
  for (ImplicitHeaderLocation &entry : implicitHeaderTable())
    entry = ImplicitHeaderLocation();
}
