// One diagnostic: a message number, where it points and its parameters.
#pragma once

#include "foundation/Location.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <string>
#include <vector>

class QL_Filename;

// Parameters are kept as their texts for now; typed parameters come with the
// message catalogue and the error-file writers.
class M_Diagnostic : public U_Ref {
public:
  M_Diagnostic() = default;
  explicit M_Diagnostic(std::uint32_t number) : m_number(number) {}
  M_Diagnostic(std::uint32_t number, const U_Location &location) : m_number(number), m_location(location) {}
  ~M_Diagnostic() override = default;

  std::uint32_t number() const { return m_number; }
  const U_Location &location() const { return m_location; }
  int getParameterCount() const { return static_cast<int>(m_parameters.size()); }
  const std::string &parameterText(int index) const {
    return m_parameters.at(static_cast<std::size_t>(index));
  }

  void addParameter(const std::string &text);
  // The file's printable name.
  void addParameter(const QL_Filename &file);

  // One line: position, message number, parameter count and texts.
  std::string dumpText() const;

private:
  std::uint32_t m_number = 0;
  U_Location m_location;
  std::vector<std::string> m_parameters;
};
