// Installing the output sink of a run by its kind: the text outputs, or the
// error file of the analysed file.
#pragma once

#include <string>

// Installs the process-wide diagnostic sink of the kind for the source file in
// the output directory: kind 1 the format text output, kinds 2 and 3 the
// source's error file (created in format 1 or 2, or appended to in the format
// it has), kind 5 the output that discards, any other kind the simple text
// output. The file and the directory matter for kinds 2 and 3 only; the
// failures of the error file's probe pass to the caller. The error-file output
// holds back until the run has read the file back (openHeldErrorFileOutput).
void selectOutput(const std::string &sourceName, const std::string &outputDirectory, int kind);
// The same with the output directory of the current arguments.
void selectOutputWithoutDirectory(const std::string &sourceName, int kind);

// Installs an output for the error file at the path: kind 0 the simple text
// output, kind 2 a new file of format 1, kind 3 a new file of format 2; any
// other kind installs nothing and leaves the output installed in place.
void openNewErrorFileOutput(const std::string &errorFilePath, int kind);
