// One input file of a run with the directory of its result files.
#pragma once

#include "foundation/FileIdentity.h"

#include <string>

struct InputFileRecord {
  InputFileRecord(const std::string &directory, const QL_Filename &identity)
      : outputDir(directory), file(identity) {}

  // Where the primary analysis left the file's record file and error file.
  std::string outputDir;
  QL_Filename file;
};
