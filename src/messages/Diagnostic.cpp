#include "messages/Diagnostic.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/EncodingKind.h"
#include "foundation/FileIdentity.h"
#include "foundation/NumberRanges.h"
#include "foundation/TextConversion.h"
#include "messages/DiagnosticOrder.h"
#include "messages/InternalMessages.h"

#include <algorithm>
#include <sstream>
#include <utility>

namespace {

// A file name as the text outputs show it.
std::string shownName(const QL_Filename &file) { return QL_fromInternal(printableFileName(file), eceEUC); }

// "<file>:<line>", from the shown (HL) file and line when the location has
// them, then ":<column>" when the column is positive or always is set. The
// name is written from its handle, as shownName gives it.
void writePosition(std::ostream &out, const U_Location &location, bool always) {
  const bool shown = location.hasHLLoc();
  QL_writeFromInternal(
      out, printableFileNameHandle(shown ? location.getHLFile() : location.getFile()).c_str(), eceEUC);
  out << ":" << (shown ? location.getHLLine() : location.getLine());
  if (always || location.getColumn() > 0)
    out << ":" << location.getColumn();
}

// One history chain: each step's position as a diagnostic of the number
// without parameters, every further step nested in the one before.
void writeLocationChain(std::ostream &out, U_Location location, const char *label, std::uint32_t number,
                        bool (U_Location::*has)() const, U_Location (U_Location::*get)() const) {
  int steps = 0;
  while ((location.*has)()) {
    location = (location.*get)();
    out << " " << label << " {";
    writePosition(out, location, true);
    out << ": Msg=" << static_cast<std::int32_t>(number) << " #params=0";
    ++steps;
  }
  out << std::string(static_cast<std::size_t>(steps), '}');
}

bool sortMessages() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("sort-messages"); });
  return answer.get();
}

} // namespace

M_Diagnostic::M_Diagnostic() : m_number(0) {}
M_Diagnostic::M_Diagnostic(std::uint32_t number) : m_number(number) {}
M_Diagnostic::M_Diagnostic(std::uint32_t number, const U_Location &location)
    : m_number(number), m_location(location) {}
M_Diagnostic::M_Diagnostic(const M_Diagnostic &other) = default;
M_Diagnostic &M_Diagnostic::operator=(const M_Diagnostic &other) = default;
M_Diagnostic::~M_Diagnostic() = default;

void M_Diagnostic::addParameter(const std::string &text) {
  m_parameters.push_back(new M_ParamStringType(text));
}

void M_Diagnostic::addParameter(std::string &&text) {
  m_parameters.push_back(new M_ParamStringType(std::move(text)));
}

void M_Diagnostic::addParameter(const char *text) { addParameter(std::string(text ? text : "")); }

void M_Diagnostic::addParameter(const QL_Filename &file) { addParameter(shownName(file)); }

void M_Diagnostic::addParameter(std::uint32_t number) { addParameter(U_toString(number)); }

void M_Diagnostic::addParameter(const U_RefPtr<U_EntityDisplayName> &entity, const bool &flag) {
  m_parameters.push_back(new M_ParamEntityType(entity, flag));
}

void M_Diagnostic::addParameter(const std::vector<std::string> &texts) {
  m_parameters.push_back(new M_ParamListType(texts));
}

void M_Diagnostic::addParameter(std::vector<U_RefPtr<M_Diagnostic>> diagnostics) {
  if (sortMessages())
    std::stable_sort(diagnostics.begin(), diagnostics.end(), isDiagnosticLess);
  addParameterInGivenOrder(diagnostics);
}

void M_Diagnostic::addParameterInGivenOrder(const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics) {
  m_parameters.push_back(new M_ParamMsgListType(diagnostics));
}

bool M_Diagnostic::hasNonEmptyMessageList() const {
  return std::any_of(m_parameters.begin(), m_parameters.end(), [](const U_RefPtr<M_ParamType> &param) {
    const auto *list = dynamic_cast<const M_ParamMsgListType *>(param.pointer());
    return list && !list->getDiagnostics().empty();
  });
}

std::string M_Diagnostic::dumpText() const {
  std::ostringstream out;
  writeText(out);
  return out.str();
}

void M_Diagnostic::writeText(std::ostream &out) const {
  if (m_location.isSet())
    writePosition(out, m_location, false);
  else
    out << "nofile.cc:0";
  out << ": Msg=" << static_cast<std::int32_t>(m_number) << " #params=" << getParameterCount();
  for (std::size_t i = 0; i < m_parameters.size(); ++i) {
    out << (i == 0 ? " {" : ", ");
    m_parameters[i]->writeText(out);
  }
  if (!m_parameters.empty())
    out << "}";
  if (m_hiddenByPragma)
    out << " hidden by "
        << "pragma";
  if (m_hiddenByUser)
    out << (m_hiddenByPragma ? ", " : " hidden by ") << "user";
  if (m_location.isSet()) {
    if (debugFlag("showInclLoc"))
      writeLocationChain(out, m_location, "incl", M_includedFromMessage, &U_Location::hasInclLoc,
                         &U_Location::getInclLoc);
    if (debugFlag("showInstLoc"))
      writeLocationChain(out, m_location, "inst", M_instantiatedFromMessage, &U_Location::hasInstFromLoc,
                         &U_Location::getInstFromLoc);
    if (debugFlag("showCallLoc"))
      writeLocationChain(out, m_location, "call", M_calledFromMessage, &U_Location::hasCalledFromLoc,
                         &U_Location::getCalledFromLoc);
  }
}

bool diagnosticsEqual(const U_RefPtr<M_Diagnostic> &a, const U_RefPtr<M_Diagnostic> &b) {
  if (!U_sameLocation(a->m_location, b->m_location) || a->m_number != b->m_number ||
      a->m_hiddenByPragma != b->m_hiddenByPragma || a->m_hiddenByUser != b->m_hiddenByUser ||
      a->m_hidden != b->m_hidden || a->m_error != b->m_error ||
      a->m_parameters.size() != b->m_parameters.size())
    return false;
  for (std::size_t i = 0; i < a->m_parameters.size(); ++i)
    if (a->m_parameters[i]->text() != b->m_parameters[i]->text())
      return false;
  return true;
}
