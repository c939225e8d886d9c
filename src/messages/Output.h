// The one process-wide output sink through which every final diagnostic
// leaves the system: the sink interface, the sink installed now and its kind,
// the entry operations with the suppressed flag and the two counts, the
// operations that hand suppression records to the sink, and the choice of the
// output kinds from the "debug" words.
#pragma once

#include "foundation/Ref.h"
#include "messages/SuppressionRecord.h"

#include <cstdint>
#include <memory>
#include <string>

class C_CmdArgs;
class M_Diagnostic;
class U_Location;

// A place diagnostics go to. The text outputs print them; the error-file
// outputs append them to the error file of the analysed file.
class M_OutputBase {
public:
  // Ends the output (an error-file output closes its file here).
  virtual void close() = 0;
  // Ends the output of a run that fails: an error-file output writes nothing
  // and leaves its file as it was. A text output closes as close() does.
  virtual void discard();
  // Output subject to the output's own filters; suppressed tells that a
  // pragma (or a macro expansion, under "hidemacrowarnings") hides it.
  virtual void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) = 0;
  // Output without filters.
  virtual void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) = 0;
  virtual void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) = 0;
  virtual ~M_OutputBase();
};

// The output kinds: 0 simple text, 1 format text, 2 error file of format 1, 3
// error file of format 2 (the default), 5 discard; 4 is a metric kind only.
// The message output kind that the "debug" words of the argument set choose:
// "simpleoutput" 0; "textoutput" or "formatoutput" 1; "lyroutput" 2; else 3.
int messageOutputKind(const C_CmdArgs &args);
// The metric output kind: "null_metric_output" 4; "simpleoutput" 2;
// "textoutput" or "formatoutput" 1; else 0.
int metricOutputKind(const C_CmdArgs &args);

// The sink installed now; null before the first factory and after closing.
M_OutputBase *M_currentOutput();
// The kind of the sink that a factory installed last (0 before any); closing
// leaves it.
int M_OutputKind();

// The common steps of every output factory: closes and destroys the sink
// installed before (if any), sets the kind, installs the sink and resets both
// counts. When the old sink's close throws, it is destroyed all the same and
// nothing is installed.
void M_installOutput(int kind, std::unique_ptr<M_OutputBase> sink);
// Closes and destroys the installed sink; nothing when none is installed. The
// kind and the counts stay. The sink is removed even when its close throws.
void M_closeOutput();
// The same with discard() in place of close().
void M_discardOutput();

// The diagnostics handed to the sink's send and write since the last reset.
void resetOutputCounters();
std::uint32_t M_sentCount();
std::uint32_t M_writtenCount();

// The entry for final diagnostics: one with the error flag goes to
// M_writeMessage, any other to M_sendFilteredMessage.
void M_sendMessage(const U_RefPtr<M_Diagnostic> &diagnostic);
// Hands the diagnostic to the sink's send with its suppressed flag: hidden by
// a pragma (its flag, or a pragma region), or, under "hidemacrowarnings" (read
// once per process), expanded from a macro. Without a sink it writes
// "M_Output:81: Cannot send information before open()." on standard error and
// throws the integer 17; nothing is counted then.
void M_sendFilteredMessage(const U_RefPtr<M_Diagnostic> &diagnostic);
// Hands the diagnostic to the sink's write, not suppressed. Without a sink as
// above with 99 in place of 81.
void M_writeMessage(const U_RefPtr<M_Diagnostic> &diagnostic);
// Whether a pragma region suppresses the diagnostic's number at its location.
bool M_isPragmaSuppressed(const U_RefPtr<M_Diagnostic> &diagnostic);

// Builds a suppression record and hands it to the sink's writeSuppression;
// nothing while no sink is installed. The end may be null.
using M_MessageRanges = M_SuppressionRecord::Ranges;
void M_sendSuppressionRecord(std::uint32_t kind, const U_Location &location, const std::string &name,
                             const M_MessageRanges &ranges, const U_Location &start, const U_Location &end);
// A region suppression (kind 1), with or without an end.
void M_sendSupRecord(const U_Location &location, const std::string &name, const M_MessageRanges &ranges,
                     const U_Location &start, const U_Location &end);
void M_sendSupRecord(const U_Location &location, const std::string &name, const M_MessageRanges &ranges,
                     const U_Location &start);
// A location record (kind 0, no ranges), with or without an end.
void M_sendLocRecord(const U_Location &location, const std::string &name, const U_Location &start,
                     const U_Location &end);
void M_sendLocRecord(const U_Location &location, const std::string &name, const U_Location &start);
