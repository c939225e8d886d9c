// Where the error file of an analysed file lives.
#pragma once

#include <string>

// The error file of the source file in the directory, all names in the
// internal encoding: the directory joined with the source file's last path
// component, its own extension kept, then ".err". For out and src/a.c it is
// out/a.c.err.
std::string errorFilePath(const std::string &directory, const std::string &sourceFile);
