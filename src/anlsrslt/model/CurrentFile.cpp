#include "anlsrslt/model/CurrentFile.h"

QL_Filename &P_currentFilenames() {
  static QL_Filename file;
  return file;
}

std::string &P_outputDirectory() {
  static std::string directory;
  return directory;
}
