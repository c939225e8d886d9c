// File names and file identities as text for output, in the internal
// encoding; callers convert to the product's encoding before writing.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Filename.h"

#include <string>

class C_Options;

// The text of a file-name handle.
std::string filenameToString(const U_Filename &name);
// The same text, as a file name of the internal encoding.
std::string filenameText(const U_Filename &name);

// The name as written of a file identity.
std::string fileIdentityGivenName(const QL_Filename &file);
std::string fileIdentityGivenNameText(const QL_Filename &file);

// The name under which a file is shown: its canonical name while the option
// "expandfilenames" is on (the default), else its name as written. The first
// form consults the current argument set, or the default when none is current.
std::string printableFileName(const QL_Filename &file);
std::string printableFileName(const QL_Filename &file, const C_Options &options);
// The handle of that name, for writing it without a copy.
const U_Filename &printableFileNameHandle(const QL_Filename &file);
