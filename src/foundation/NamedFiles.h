// The set of files that the user named for the run (the input files and the
// cross-module analysis file).
#pragma once

#include "foundation/FileIdentity.h"

class C_CmdArgs;
class U_Location;

// Empties the set; done when the parsing of the arguments begins.
void clearNamedFiles();
void addNamedFile(const QL_Filename &file);

// Whether the file was named for the run. Never true for the pseudo-file of
// the implicit header: its identity is taken from the first argument set whose
// product's installation directory is known, and kept for the process. The
// first form uses the current argument set.
bool isNamedFile(const QL_Filename &file);
bool isNamedFile(const C_CmdArgs &args, const QL_Filename &file);

// False for an unset location, else whether its file was named (current
// argument set).
bool isNamedFileLocation(const U_Location &location);

// Forgets the implicit header's identity; for tests.
void resetImplicitHeaderIdentity();
