// Installing the output sink of a run.
#pragma once

#include <string>

// Installs the process-wide diagnostic sink of the kind for the source file in
// the output directory: kind 1 the format text output, kinds 2 and 3 the
// source's error file, kind 5 the output that discards, any other kind the
// simple text output. The file and the directory matter for kinds 2 and 3
// only.
void selectOutput(const std::string &sourceName, const std::string &outputDirectory, int kind);
