#include "cmdline/OptionValueLine.h"

#include "cmdline/ConfigurationException.h"

std::string readOptionValueLine(const std::string &optionName, std::istream &in) {
  std::string line;
  if (!std::getline(in, line, '\n'))
    throw C_ValueExpectedException(optionName);
  if (!line.empty() && line[0] == '=')
    line.erase(0, 1);
  return line;
}
