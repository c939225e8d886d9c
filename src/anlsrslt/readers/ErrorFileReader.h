// Reading the error file of each input file back into model diagnostics.
#pragma once

class QL_Filename;

// Gives 2 without reading when no error-file listener is registered and the
// debug word "always_read_errors" is absent. Otherwise opens the error file of
// the file in the output directory (its last path component with ".err"
// added), throwing P_FileOpenException with its identity when it cannot be
// opened; the diagnostics themselves are not read yet.
int readErrorFile(const QL_Filename &outputDirectory, const QL_Filename &file);
