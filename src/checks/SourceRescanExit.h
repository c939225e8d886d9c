// The end of a run forced by the source re-scan: a file that the token checks
// must re-read does not exist or cannot be opened. The driver closes the
// run's outputs (so that no diagnostic emitted before is lost), writes the
// text on standard error and ends the run with exit code 10.
#pragma once

#include "foundation/Exception.h"

#include <string>
#include <utility>

class P_SourceRescanExit : public U_Exception {
public:
  // text is written on standard error as it is; it ends with a line feed.
  explicit P_SourceRescanExit(std::string text) : m_text(std::move(text)) {}
  P_SourceRescanExit(const P_SourceRescanExit &) = default;
  ~P_SourceRescanExit() override = default;

  const char *what() const noexcept override { return m_text.c_str(); }

private:
  std::string m_text;
};
