#include "anlsrslt/readers/ErrorFileReader.h"

#include "anlsrslt/model/ModelDiagnostic.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/suppression/DiagnosticTagSet.h"
#include "anlsrslt/suppression/SuppressionRecord.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/Assertion.h"
#include "foundation/FileIdentity.h"
#include "foundation/StringStore.h"
#include "messages/Diagnostic.h"
#include "messages/DiagnosticOrder.h"
#include "messages/DisplayFilters.h"
#include "messages/FormatString.h"
#include "messages/HistorySubDiagnostics.h"
#include "messages/ParamType.h"
#include "messages/QuietFiles.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/ErrorFileInput.h"
#include "resultfiles/ErrorFileOutput.h"
#include "resultfiles/ErrorFilePath.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

P_ListenerList<P_DiagnosticListener> &diagnosticListeners() {
  static P_ListenerList<P_DiagnosticListener> list;
  return list;
}

P_ListenerList<P_UnsuppressedDiagnosticListener> &unsuppressedDiagnosticListeners() {
  static P_ListenerList<P_UnsuppressedDiagnosticListener> list;
  return list;
}

P_ListenerList<P_SuppressingRecordListener> &suppressingRecordListeners() {
  static P_ListenerList<P_SuppressingRecordListener> list;
  return list;
}

P_ListenerList<P_SuppressionRecordListener> &suppressionRecordListeners() {
  static P_ListenerList<P_SuppressionRecordListener> list;
  return list;
}

P_ListenerList<P_ParameterTextListener> &parameterTextListeners() {
  static P_ListenerList<P_ParameterTextListener> list;
  return list;
}

P_ListenerList<P_SubDiagnosticListener> &subDiagnosticListeners() {
  static P_ListenerList<P_SubDiagnosticListener> list;
  return list;
}

P_ListenerList<P_HiddenDiagnosticListener> &hiddenDiagnosticListeners() {
  static P_ListenerList<P_HiddenDiagnosticListener> list;
  return list;
}

P_ListenerList<P_ErrorFileCallback> &errorFileCallbacks() {
  static P_ListenerList<P_ErrorFileCallback> list;
  return list;
}

// The message listeners by number. An entry whose list is empty (after the
// test support emptied every list) counts as no entry.
std::map<std::uint32_t, P_ListenerList<P_DiagnosticListener>> &messageListeners() {
  static std::map<std::uint32_t, P_ListenerList<P_DiagnosticListener>> byNumber;
  return byNumber;
}

P_ListenerList<P_DiagnosticListener> *messageListenersOf(std::uint32_t number) {
  auto found = messageListeners().find(number);
  return found == messageListeners().end() || found->second.empty() ? nullptr : &found->second;
}

bool anyMessageListener() {
  for (auto &[number, list] : messageListeners())
    if (!list.empty())
      return true;
  return false;
}

bool alwaysReadErrors() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("always_read_errors"); });
  return answer.get();
}

// Whether the error files are read: the hidden-diagnostic listeners and the
// callbacks alone do not ask for it.
bool readsErrorFiles() {
  return !diagnosticListeners().empty() || anyMessageListener() ||
         !unsuppressedDiagnosticListeners().empty() || !parameterTextListeners().empty() ||
         !subDiagnosticListeners().empty() || !suppressingRecordListeners().empty() ||
         !suppressionRecordListeners().empty() || alwaysReadErrors();
}

bool hiddenWarningsOn() { return C_optHiddenWarnings().isSet() && C_optHiddenWarnings().value(); }

// Diagnostics by location (files in interning order), number and parameter
// texts: equal ones are one entry.
struct DispatchedLess {
  bool operator()(const U_RefPtr<P_Diagnostic> &a, const U_RefPtr<P_Diagnostic> &b) const {
    return P_diagnosticLess(a, b);
  }
};

// What the reader keeps for the whole run: every diagnostic dispatched, which
// tells repeats, and every sub-diagnostic made, which the listeners may hold
// on to.
struct ReaderState {
  std::set<U_RefPtr<P_Diagnostic>, DispatchedLess> seenDiagnostics;
  std::vector<U_RefPtr<P_Diagnostic>> subDiagnosticList;
};

ReaderState &readerState() { return U_singletonAfterInternPool<ReaderState>(); }

// A record located, and pointing, into no quiet file.
bool isOutsideQuietFiles(const M_SuppressionRecord &record) {
  const U_Location &written = record.getLocation();
  const U_Location &start = record.getStartLocation();
  return written.isSet() && start.isSet() && !isQuietLocation(written) && !isQuietLocation(start);
}

void notifySuppressionRecordListeners(const M_InputTamsel &input) {
  if (suppressionRecordListeners().empty())
    return;
  for (auto record = input.suppressionRecordsBegin(); record != input.suppressionRecordsEnd(); ++record)
    if (isOutsideQuietFiles(**record))
      suppressionRecordListeners().notify(addSuppressionRecord(*record));
}

// A new sub-diagnostic of the parent: kept for the run, handed to the
// sub-diagnostic listeners, then walked itself.
void dispatchSubDiagnostic(P_Diagnostic *parent, const U_RefPtr<M_Diagnostic> &nested) {
  const U_RefPtr<P_Diagnostic> sub = new P_Diagnostic(nested);
  readerState().subDiagnosticList.push_back(sub);
  subDiagnosticListeners().notify(parent, sub.pointer());
  collectDiagnosticParameters(sub.pointer());
}

// Hands each text of one parameter to the text listeners and each nested
// diagnostic on as a sub-diagnostic.
class ParameterWalk : public M_ParamTypeNav {
public:
  ParameterWalk(P_Diagnostic *diagnostic, std::uint32_t index) : m_diagnostic(diagnostic), m_index(index) {}

  void visitString(M_ParamStringType &param) override { text(param.getString()); }
  void visitEntity(M_ParamEntityType &param) override {
    if (const U_RefPtr<U_EntityDisplayName> &entity = param.getEntity(); entity.isSet())
      text(param.getFlag() ? entity->text2() : entity->text());
  }
  void visitList(M_ParamListType &param) override {
    for (const std::string &string : param.getStrings())
      text(string);
  }
  void visitMsgList(M_ParamMsgListType &param) override {
    for (const U_RefPtr<M_Diagnostic> &nested : param.getDiagnostics())
      dispatchSubDiagnostic(m_diagnostic, nested);
  }

private:
  void text(const std::string &value) {
    if (!parameterTextListeners().empty())
      parameterTextListeners().notify(m_diagnostic, m_index, internString(value.c_str()));
  }

  P_Diagnostic *m_diagnostic;
  std::uint32_t m_index;
};

// The diagnostic to every listener that wants it, with its repeat and
// suppressed flags.
void dispatchDiagnostic(const U_RefPtr<M_Diagnostic> &diagnostic) {
  if (!M_isDiagnosticShown(diagnostic)) {
    if (!hiddenDiagnosticListeners().empty()) {
      const U_RefPtr<P_Diagnostic> hidden = new P_Diagnostic(diagnostic);
      hiddenDiagnosticListeners().notify(diagnostic->getNumber(), hidden->m_filename->name());
    }
    return;
  }
  P_ListenerList<P_DiagnosticListener> *byNumber = messageListenersOf(diagnostic->getNumber());
  if (!byNumber && diagnosticListeners().empty() && unsuppressedDiagnosticListeners().empty() &&
      parameterTextListeners().empty() && subDiagnosticListeners().empty() &&
      suppressingRecordListeners().empty())
    return;

  const auto [entry, inserted] = readerState().seenDiagnostics.insert(new P_Diagnostic(diagnostic));
  P_Diagnostic *const dispatched = entry->pointer();
  const bool repeat = !inserted;

  const P_DiagnosticTagSet &tags = P_DiagnosticTagSet::instance();
  P_SuppressionRecordSet records;
  bool suppressed;
  if (!suppressingRecordListeners().empty()) {
    records = tags.suppressionRecordsFor(diagnostic, true);
    suppressed = !records.empty();
  } else {
    suppressed = tags.isSuppressed(diagnostic);
  }

  if (byNumber)
    byNumber->notify(dispatched, repeat, suppressed);
  diagnosticListeners().notify(dispatched, repeat, suppressed);
  if (suppressed) {
    for (const U_RefPtr<M_SuppressionRecord> &record : records)
      suppressingRecordListeners().notify(addSuppressionRecord(record), dispatched);
  } else {
    unsuppressedDiagnosticListeners().notify(dispatched, repeat);
  }
  if (!repeat && (!parameterTextListeners().empty() || !subDiagnosticListeners().empty()))
    collectDiagnosticParameters(dispatched);
}

} // namespace

void registerDiagnosticListener(P_DiagnosticListener listener) { diagnosticListeners().addOnce(listener); }

void registerMessageListener(std::uint32_t number, P_DiagnosticListener listener) {
  messageListeners()[number].addOnce(listener);
}

void registerUnsuppressedDiagnosticListener(P_UnsuppressedDiagnosticListener listener) {
  unsuppressedDiagnosticListeners().addOnce(listener);
}

void registerSuppressingRecordListener(P_SuppressingRecordListener listener) {
  suppressingRecordListeners().addOnce(listener);
}

void registerSuppressionRecordListener(P_SuppressionRecordListener listener) {
  suppressionRecordListeners().addOnce(listener);
}

void registerParameterTextListener(P_ParameterTextListener listener) {
  parameterTextListeners().addOnce(listener);
}

void registerSubDiagnosticListener(P_SubDiagnosticListener listener) {
  subDiagnosticListeners().addOnce(listener);
}

void registerHiddenDiagnosticListener(P_HiddenDiagnosticListener listener) {
  hiddenDiagnosticListeners().addOnce(listener);
}

void registerErrorFileCallback(P_ErrorFileCallback callback) { errorFileCallbacks().addOnce(callback); }

void notifyErrorFileCallbacks() { errorFileCallbacks().notify(); }

int readErrorFile(const QL_Filename &outputDirectory, const QL_Filename &file) {
  const std::string directory = filenameText(outputDirectory.canonical());
  const std::string source = filenameText(file.canonical());
  const std::string path = errorFilePath(directory, source);
  if (!readsErrorFiles()) {
    M_releaseErrorFileOutput(path);
    return 2;
  }
  // No other run adds to the file between this reading and this run's adding.
  M_lockErrorFileOutput(path);
  // A file that the run means to add to, and cannot read, gets the one
  // warning of the output that leaves it alone.
  const U_RefPtr<M_InputTamsel> input = M_errorFileOutputHoldsFor(path)
                                            ? M_openErrorFileQuietly(source, directory)
                                            : M_InputTamsel::open(source, directory);
  if (!input.isSet()) {
    // Nothing is added to a file that cannot be read back.
    M_refuseErrorFileOutput(path);
    throw P_FileOpenException(QL_Filename::fromPath(path));
  }
  M_releaseErrorFileOutput(path, true);

  std::vector<U_RefPtr<M_Diagnostic>> diagnostics(input->diagnosticsBegin(), input->diagnosticsEnd());
  P_DiagnosticTagSet &tags = P_DiagnosticTagSet::instance();
  if (!hiddenWarningsOn()) {
    tags.addSuppressionRecords(input->suppressionRecordsBegin(), input->suppressionRecordsEnd(), true);
    notifySuppressionRecordListeners(*input);
  }
  sortUniqueDiagnostics(diagnostics);
  for (const U_RefPtr<M_Diagnostic> &diagnostic : diagnostics)
    dispatchDiagnostic(diagnostic);
  return 0;
}

void collectDiagnosticParameters(P_Diagnostic *diagnostic) {
  if (!diagnostic)
    assertFailed("ErrorFileReader", __LINE__, "pDiag && \"Null ptr\"", true);
  const M_Diagnostic &own = *diagnostic->m_diagnostic;
  // Message lists are walked for the sub-diagnostic listeners as well, also
  // when no text listener exists.
  for (int index = 0; index < own.getParameterCount(); ++index) {
    ParameterWalk walk(diagnostic, static_cast<std::uint32_t>(index));
    own.getParameter(index)->accept(walk);
  }
  if (subDiagnosticListeners().empty())
    return;
  std::vector<U_RefPtr<M_Diagnostic>> history;
  M_makeHistorySubDiagnostics(own.getLocation(), M_historyAll, history);
  for (const U_RefPtr<M_Diagnostic> &step : history)
    if (M_isMessageNumberWanted(step->getNumber()))
      dispatchSubDiagnostic(diagnostic, step);
}

const char *formatDiagnostic(P_Diagnostic *diagnostic, const char *format) {
  if (!format)
    assertFailed("ErrorFileReader", __LINE__, "0 != format && \"Dont dereference 0 in string pointer.\"",
                 true);
  if (!diagnostic)
    assertFailed("ErrorFileReader", __LINE__, "0 != han && \"Dont dereference 0 in Diagnostic handle.\"",
                 true);
  return internString(M_formatDiagnostic(format, diagnostic->m_diagnostic, 0).c_str());
}

void P_ErrorFileReaderState::reset() {
  readerState().seenDiagnostics.clear();
  readerState().subDiagnosticList.clear();
  P_DiagnosticTagSet::instance().clearSuppressions();
}
