#include "messages/TextOutputs.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/EncodingKind.h"
#include "foundation/Exception.h"
#include "foundation/Location.h"
#include "foundation/TextConversion.h"
#include "messages/Diagnostic.h"
#include "messages/DisplayFilters.h"
#include "messages/InternalMessages.h"
#include "messages/QuietFiles.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/MacroHistory.h"

#include <iostream>
#include <sstream>
#include <vector>

namespace {

// The filter of every text output, applied to each diagnostic it prints.
bool isShownByTextOutput(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (suppressed && !C_optHiddenWarnings().value())
    return false;
  if (isQuietLocation(diagnostic->getLocation()))
    return false;
  return M_isMessageShown(diagnostic);
}

// The layout that follows the file-name directive in the default format.
const char *const defaultMessageLayout = ":%l:%c: %?u==0%(%?h%(Err%:Msg%)%:-->%) (%g;%N) %R(%u,  )%t";

// After a write and its flush: a standard output that took the text leaves
// nothing to do. One that failed is reported, by the first output that sees
// it only: the run ends with the report.
void requireWritten(bool &failed) {
  if (std::cout.good() || failed)
    return;
  failed = true;
  throw U_UserException(M_standardOutputFailure);
}

// At the closing: what standard output still holds is handed on and checked.
void closeStandardOutput(bool &failed) {
  if (failed)
    return;
  std::cout.flush();
  requireWritten(failed);
}

} // namespace

const char *const M_standardOutputFailure = "Cannot write text output to standard output.";

void M_OutputSimple::close() { closeStandardOutput(m_failed); }

void M_OutputSimple::send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (isShownByTextOutput(diagnostic, suppressed))
    write(diagnostic, suppressed);
}

void M_OutputSimple::write(const U_RefPtr<M_Diagnostic> &diagnostic, bool) {
  // Written as it is made: a long parameter is not copied into a line first.
  diagnostic->writeText(std::cout);
  std::cout << std::endl;
  requireWritten(m_failed);
}

void M_OutputSimple::writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) {
  if (debugFlag("hideSupRecs"))
    return;
  std::ostringstream line;
  line << M_locationText(record->getLocation()) << " " << M_suppressionKindText(record->getKind()) << ":"
       << record->getName() << ":";
  if (record->getKind() == 1)
    line << M_messageRangesText(record->getMessageRanges()) << ":";
  line << "{" << M_locationText(record->getStartLocation()) << "}";
  if (record->getEndLocation().isSet())
    line << "-{" << M_locationText(record->getEndLocation()) << "}";
  std::cout << line.str() << std::endl;
  requireWritten(m_failed);
}

void M_OutputFormat::close() { closeStandardOutput(m_failed); }

void M_OutputFormat::send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (isShownByTextOutput(diagnostic, suppressed))
    write(diagnostic, suppressed);
}

void M_OutputFormat::write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  writeNested(diagnostic, suppressed);
  std::cout.flush();
  requireWritten(m_failed);
}

void M_OutputFormat::writeSuppression(const U_RefPtr<M_SuppressionRecord> &) {}

const std::string &M_OutputFormat::formatString() {
  static C_OnceAnswer<std::string> format([] {
    const std::string &option = C_optFormat().value();
    if (!option.empty())
      return QL_fromInternal(option, eceEUC);
    return std::string(C_optExpandFilenames().value() ? "%F" : "%f") + defaultMessageLayout;
  });
  return format.get();
}

void M_OutputFormat::writeNested(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  diagnostic->writeText(std::cout);
  std::cout << '\n';
  writeHistory(diagnostic->getLocation(), suppressed);
  for (int i = 0; i < diagnostic->getParameterCount(); ++i)
    if (const auto *list = dynamic_cast<const M_ParamMsgListType *>(diagnostic->getParameter(i)))
      for (const U_RefPtr<M_Diagnostic> &nested : list->getDiagnostics())
        writeIfShown(nested, suppressed);
}

void M_OutputFormat::writeHistory(const U_Location &location, bool suppressed) {
  if (!location.isSet())
    return;
  if (location.hasInstFromLoc()) {
    const U_RefPtr<U_EntityDisplayName> entity = location.getInstEntity();
    writeIfShown(M_makeInternalMessage1597(location.getInstFromLoc(), entity.isSet() ? entity->text3() : ""),
                 suppressed);
  }
  if (location.hasInclLoc())
    writeIfShown(M_makeInternalMessage1599(location.getInclLoc()), suppressed);
  if (location.hasMacroHist()) {
    std::vector<const U_MacroHistory *> chain;
    for (const U_MacroHistory *element = location.getMacroHist().pointer(); element;
         element = element->m_parent.pointer())
      chain.push_back(element);
    for (auto element = chain.rbegin(); element != chain.rend(); ++element)
      writeIfShown(M_makeInternalMessage1598((*element)->m_location, (*element)->m_macroName.text()),
                   suppressed);
  }
}

void M_OutputFormat::writeIfShown(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (isShownByTextOutput(diagnostic, suppressed))
    writeNested(diagnostic, suppressed);
}

void M_OutputNull::close() {}
void M_OutputNull::send(const U_RefPtr<M_Diagnostic> &, bool) {}
void M_OutputNull::write(const U_RefPtr<M_Diagnostic> &, bool) {}
void M_OutputNull::writeSuppression(const U_RefPtr<M_SuppressionRecord> &) {}

void M_openSimpleOutput() { M_installOutput(0, std::make_unique<M_OutputSimple>()); }

void M_openSimpleOutputForErrorFile(const std::string &) { M_openSimpleOutput(); }

void M_openFormatOutput() { M_installOutput(1, std::make_unique<M_OutputFormat>()); }

void M_openNullOutput() { M_installOutput(5, std::make_unique<M_OutputNull>()); }

std::string M_suppressionKindText(std::uint32_t kind) {
  switch (kind) {
  case 0:
    return "LOC";
  case 1:
    return "SUP";
  default:
    return "Unknown";
  }
}

std::string M_messageRangesText(const M_MessageRanges &ranges) {
  std::string text;
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    const auto &[from, to] = ranges[i];
    if (i != 0)
      text += ",";
    text += from;
    if (!to.empty() && to != from)
      text += "-" + to;
  }
  return text;
}

std::string M_locationText(const U_Location &location) {
  if (!location.isSet())
    return "nofile.cc:0";
  const bool shown = location.hasHLLoc();
  std::ostringstream text;
  text << QL_fromInternal(printableFileName(shown ? location.getHLFile() : location.getFile()), eceEUC) << ":"
       << (shown ? location.getHLLine() : location.getLine());
  if (location.getColumn() < 0)
    text << ":*:";
  else
    text << ":" << location.getColumn() << ":";
  return text.str();
}
