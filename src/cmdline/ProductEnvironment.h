// Where the product's files are: its installation and temporary directories
// and the pseudo-file of the implicit header.
#pragma once

#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "foundation/FileIdentity.h"

#include <string>

// The name of the product's installation variable, such as LYRBIN.
std::string productBinVariableName(const C_Product &product);

// Whether the product's installation variable is set.
bool hasProductBinDir(const C_Product &product);

// The installation directory: the installation variable's value with
// backslashes turned into "/". Throws C_ConfigurationException when the
// variable is not set.
std::string productBinDir(const C_Product &product);
// The same look-up, under the name that the codec layer and message files use.
std::string currentProductBinDir(const C_Product &product);

// The temporary directory: <NAME>TEMPFILES when set, else TMP, else the
// system's temporary directory, each taken only when usable. Throws
// U_UserException naming every directory tried when none is.
std::string productTempDir(const C_Product &product);
// productTempDir of the current product.
std::string currentTempDir();

// The identity of the pseudo-file "implicit.h" in the installation directory
// of the argument set's product. Throws as productBinDir does.
QL_Filename implicitHeaderFile(const C_CmdArgs &args);
