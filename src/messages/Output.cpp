#include "messages/Output.h"

#include "anlsrslt/suppression/PragmaSuppression.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"

#include <iostream>

namespace {

struct OutputState {
  std::unique_ptr<M_OutputBase> sink;
  int kind = 0;
  std::uint32_t sent = 0;
  std::uint32_t written = 0;
};

OutputState &outputState() {
  static OutputState state;
  return state;
}

bool hasWord(const C_CmdArgs &args, const char *word) {
  return args.options() && C_Options::hasDebugFlag(*args.options(), word);
}

// The sink for a diagnostic; without one, the misuse is reported with the
// number of the entry and the integer 17 is thrown.
M_OutputBase &requireSink(int entryNumber) {
  M_OutputBase *sink = outputState().sink.get();
  if (!sink) {
    std::cerr << "M_Output"
              << ":" << entryNumber << ": Cannot send information before open()." << std::endl;
    throw 17;
  }
  return *sink;
}

} // namespace

M_OutputBase::~M_OutputBase() = default;

void M_OutputBase::discard() { close(); }

int messageOutputKind(const C_CmdArgs &args) {
  if (hasWord(args, "simpleoutput"))
    return 0;
  if (hasWord(args, "textoutput") || hasWord(args, "formatoutput"))
    return 1;
  if (hasWord(args, "lyroutput"))
    return 2;
  return 3;
}

int metricOutputKind(const C_CmdArgs &args) {
  if (hasWord(args, "null_metric_output"))
    return 4;
  if (hasWord(args, "simpleoutput"))
    return 2;
  if (hasWord(args, "textoutput") || hasWord(args, "formatoutput"))
    return 1;
  return 0;
}

M_OutputBase *M_currentOutput() { return outputState().sink.get(); }

int M_OutputKind() { return outputState().kind; }

void M_installOutput(int kind, std::unique_ptr<M_OutputBase> sink) {
  M_closeOutput();
  outputState().kind = kind;
  outputState().sink = std::move(sink);
  resetOutputCounters();
}

void M_closeOutput() {
  // Taken out first, so that a close that throws still leaves no sink.
  std::unique_ptr<M_OutputBase> sink = std::move(outputState().sink);
  if (sink)
    sink->close();
}

void M_discardOutput() {
  std::unique_ptr<M_OutputBase> sink = std::move(outputState().sink);
  if (sink)
    sink->discard();
}

void resetOutputCounters() {
  outputState().sent = 0;
  outputState().written = 0;
}

std::uint32_t M_sentCount() { return outputState().sent; }

std::uint32_t M_writtenCount() { return outputState().written; }

void M_sendMessage(const U_RefPtr<M_Diagnostic> &diagnostic) {
  if (diagnostic->isError())
    M_writeMessage(diagnostic);
  else
    M_sendFilteredMessage(diagnostic);
}

void M_sendFilteredMessage(const U_RefPtr<M_Diagnostic> &diagnostic) {
  M_OutputBase &sink = requireSink(81);
  static C_OnceAnswer<bool> hideMacroWarnings([] { return C_optHideMacroWarnings().value(); });
  bool suppressed = diagnostic->isHiddenByPragma();
  if (!suppressed)
    suppressed = M_isPragmaSuppressed(diagnostic);
  if (!suppressed && hideMacroWarnings.get()) {
    const U_Location &location = diagnostic->getLocation();
    suppressed = location.isSet() && location.hasMacroHist();
  }
  sink.send(diagnostic, suppressed);
  ++outputState().sent;
}

void M_writeMessage(const U_RefPtr<M_Diagnostic> &diagnostic) {
  requireSink(99).write(diagnostic, false);
  ++outputState().written;
}

bool M_isPragmaSuppressed(const U_RefPtr<M_Diagnostic> &diagnostic) {
  return PragmaSuppressState::instance().isSuppressed(diagnostic->getNumber(), diagnostic->getLocation());
}

void M_sendSuppressionRecord(std::uint32_t kind, const U_Location &location, const std::string &name,
                             const M_MessageRanges &ranges, const U_Location &start, const U_Location &end) {
  M_OutputBase *sink = M_currentOutput();
  if (!sink)
    return;
  const U_RefPtr<M_SuppressionRecord> record =
      new M_SuppressionRecord(kind, location, name, ranges, start, end);
  sink->writeSuppression(record);
}

void M_sendSupRecord(const U_Location &location, const std::string &name, const M_MessageRanges &ranges,
                     const U_Location &start, const U_Location &end) {
  M_sendSuppressionRecord(1, location, name, ranges, start, end);
}

void M_sendSupRecord(const U_Location &location, const std::string &name, const M_MessageRanges &ranges,
                     const U_Location &start) {
  M_sendSupRecord(location, name, ranges, start, U_Location());
}

void M_sendLocRecord(const U_Location &location, const std::string &name, const U_Location &start,
                     const U_Location &end) {
  M_sendSuppressionRecord(0, location, name, M_MessageRanges(), start, end);
}

void M_sendLocRecord(const U_Location &location, const std::string &name, const U_Location &start) {
  M_sendLocRecord(location, name, start, U_Location());
}
