// The error raised when a result file of one input file cannot be opened.
#pragma once

#include "foundation/Exception.h"
#include "foundation/FileIdentity.h"

class P_FileOpenException : public U_UserException {
public:
  explicit P_FileOpenException(const QL_Filename &file) : m_file(file) {}
  P_FileOpenException(const P_FileOpenException &) = default;
  ~P_FileOpenException() override = default;

  const char *what() const noexcept override;
  // The file that could not be opened.
  const QL_Filename &fileName() const { return m_file; }

private:
  QL_Filename m_file;
};
