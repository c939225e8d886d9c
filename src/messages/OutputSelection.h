// Installing the output sink of a run.
#pragma once

#include <string>

// Installs and opens the process-wide diagnostic sink for the source file in
// the output directory: kind 1 formatted text, kinds 2 and 3 the source's
// error file, kind 5 a sink that discards, any other kind simple text.
void selectOutput(const std::string &sourceName, const std::string &outputDirectory, int kind);
