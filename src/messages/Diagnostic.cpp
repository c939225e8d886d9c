#include "messages/Diagnostic.h"

#include "cmdline/PrintableFileName.h"
#include "foundation/EncodingKind.h"
#include "foundation/FileIdentity.h"
#include "foundation/TextConversion.h"

#include <sstream>

namespace {

// A file name as the text outputs show it.
std::string shownName(const QL_Filename &file) { return QL_fromInternal(printableFileName(file), eceEUC); }

} // namespace

void M_Diagnostic::addParameter(const std::string &text) { m_parameters.push_back(text); }

void M_Diagnostic::addParameter(const QL_Filename &file) { m_parameters.push_back(shownName(file)); }

std::string M_Diagnostic::dumpText() const {
  std::ostringstream out;
  if (m_location.isSet()) {
    const bool shown = m_location.hasHLLoc();
    out << shownName(shown ? m_location.getHLFile() : m_location.getFile()) << ":"
        << (shown ? m_location.getHLLine() : m_location.getLine());
    if (m_location.getColumn() > 0)
      out << ":" << m_location.getColumn();
  } else {
    out << "nofile.cc:0";
  }
  out << ": Msg=" << static_cast<std::int32_t>(m_number) << " #params=" << m_parameters.size();
  for (std::size_t i = 0; i < m_parameters.size(); ++i)
    out << (i == 0 ? " {" : ", ") << m_parameters[i];
  if (!m_parameters.empty())
    out << "}";
  return out.str();
}
