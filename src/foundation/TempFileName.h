// Names of temporary files.
#pragma once

#include <string>

// A fresh temporary file in the directory (the default temporary directory
// when it is empty), named with "zut" and the process id, in the internal
// encoding. The file is created, empty, so that nobody else can take the
// name; the caller owns it and removes it. Empty when none can be made.
std::string makeTempFileName(const std::string &dir);

// Whether temporary files can be made in the directory: it exists, is a
// directory and a temporary file can be created there (that file is removed).
bool QL_isUsableTempDir(const std::string &dir);
