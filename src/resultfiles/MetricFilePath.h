// Where the record file of an analysed file lives.
#pragma once

#include <string>

// The record file of the source file in the directory, all names in the
// internal encoding: the directory joined with the source file's last path
// component, its own extension kept, then ".met". For /out and /src/a.c it is
// /out/a.c.met.
std::string metricFilePath(const std::string &directory, const std::string &file);
