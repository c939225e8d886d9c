// Where the product's files are: its installation, output and temporary
// directories, the rc file, the message files and the pseudo-file of the
// implicit header. Everything but the implicit-header locations is looked up
// afresh on every call.
#pragma once

#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "foundation/EncodingKind.h"
#include "foundation/Location.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class C_ConfigurationException;

// The value of an environment variable taken from the product's encoding into
// the internal one; nothing when the variable is not set.
std::optional<std::string> productEnvironmentValue(const C_Product &product, const std::string &name);

// The name of the product's installation variable, such as LYRBIN.
std::string productBinVariableName(const C_Product &product);
// The product name in capitals, such as LYR.
std::string productName(const C_Product &product);
// The product word in lower case, such as lyr.
std::string productConfigName(const C_Product &product);

// Whether the product's installation variable is set.
bool hasProductBinDir(const C_Product &product);

// The installation directory: the installation variable's value in the
// internal encoding with backslashes turned into "/" (set but empty gives the
// empty text). Throws C_ConfigurationException when the variable is not set.
std::string productBinDir(const C_Product &product);
// The error of an installation variable that is not set, or set but empty.
C_ConfigurationException missingBinDirError(const C_Product &product);
// The same look-up, under the name that the codec layer and message files use.
std::string currentProductBinDir(const C_Product &product);

// The directory of the result files: the value of option "outputpath" when it
// is not empty, else <NAME>OUTPATH (backslashes turned into "/"), else ".".
// The first form is for the current argument set, the last takes the option's
// value.
std::string outputDirectory();
std::string outputDirectory(const C_CmdArgs &args);
std::string outputDirectory(const C_Product &product, const std::string &outputPathOption);

// The temporary directory: <NAME>TEMPFILES when set, else TMP, else /tmp,
// each taken only when usable. Throws U_UserException naming every directory
// tried when none is; an unusable <NAME>TEMPFILES ends the search at once.
std::string productTempDir(const C_Product &product);
// productTempDir of the current product.
std::string currentTempDir();

// The rc file ".<word>rc": the first readable regular file of that name in
// the directories of <NAME>RCPATH (";"-separated), else in the current
// directory, else in HOME. The path is in the platform's form; empty when
// there is none.
std::string productRcFile(const C_Product &product);

// The parts that name language variants of a file, in the order in which
// they are made (they are tried from the last to the first): for eceUTF the
// locale name's first two characters (when it is longer) and the whole name;
// none for eceNone; "jp", separator, "euc" for eceEUC; "jp", separator, "sj"
// for eceSJIS; "jp" and separator for any other kind. The first form takes
// the process's locale name.
std::vector<std::string> languageNameParts(const std::string &separator, QL_EncodingKind kind);
std::vector<std::string> languageNameParts(const std::string &separator, QL_EncodingKind kind,
                                           const std::string &localeName);

// The first readable file (not a directory) among base.part.suffix, the parts
// tried from the last to the first; else base.suffix, whether it exists or
// not. The names are in the internal encoding.
std::string findLanguageVariant(const std::string &base, const std::string &suffix,
                                const std::vector<std::string> &parts);

// The product's message file: <BIN>/<word>.<part>.msg for the parts of the
// product's language, else <BIN>/<word>.msg. The first form is for the
// current product.
std::string productMessageFile();
std::string productMessageFile(const C_Product &product);

// The user file <directory>/<word>.usr.<part>.<suffix> for the parts of the
// product's language, else <directory>/<word>.usr.<suffix>.
std::string findUserFileIn(const C_Product &product, const std::string &directory, const std::string &suffix);
// findUserFileIn in the directory; when that gives no readable file, in the
// installation directory, whatever it gives. The first form is for the
// current product.
std::string findProductFile(const std::string &suffix, const std::string &directory);
std::string findProductFile(const C_Product &product, const std::string &suffix,
                            const std::string &directory);

// The user message file: findProductFile with the value of option "usrfile"
// as suffix, in the directory of option "usrpath" when that option was given,
// else in the installation directory. The first form is for the current
// argument set, the last takes the options' values.
std::string userMessageFile();
std::string userMessageFile(const C_CmdArgs &args);
std::string userMessageFile(const C_Product &product, const std::optional<std::string> &usrPath,
                            const std::string &usrFile);

// Kinds of implicit-header locations; only the first is used.
inline constexpr std::int32_t ImplicitHeaderKinds = 7;

// The location of the given kind (0 to 6) in the pseudo-file "implicit.h" of
// the installation directory of the argument set's product. Each kind is built
// once and kept for the process, except while the argument set's "debug"
// option holds "always-first", which builds it afresh on every call. Throws as
// productBinDir does while it is not built.
U_Location implicitHeaderLocation(const C_CmdArgs &args, std::int32_t kind);
// The same for the current argument set.
U_Location currentImplicitHeaderLocation(std::int32_t kind);
// Forgets the built locations; for tests.
void resetImplicitHeaderLocations();
