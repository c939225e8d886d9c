// The outputs that write no error file: the simple text output (one line per
// diagnostic on standard output, and one per suppression record), the format
// text output (each line followed by the diagnostic's location history and
// its nested diagnostics) and the output that discards everything; their
// factories; and the texts of a suppression line.
#pragma once

#include "messages/Output.h"

#include <cstdint>
#include <string>

class U_Location;

// The text outputs print to standard output and flush after each diagnostic.
// When standard output fails (a full disk, a closed pipe), the write, or the
// closing that finds it so, throws U_UserException with the text
// M_standardOutputFailure, once: the run ends with that line and exit code
// 18, as it does when an error file cannot be written.
extern const char *const M_standardOutputFailure;

// Drops a diagnostic when it is suppressed while "hiddenwarnings" is off, when
// it lies in a quiet file, or when the display filter does not show it;
// otherwise prints its text line (M_Diagnostic::dumpText), flushed at once.
// The suppressed flag plays no part in the line.
class M_OutputSimple : public M_OutputBase {
public:
  void close() override;
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  // "<location> <kind>:<name>:[<ranges>:]{<start>}[-{<end>}]", nothing under
  // the debug word "hideSupRecs".
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) override;

private:
  bool m_failed = false; // the failure of standard output was reported
};

// Filters as M_OutputSimple. A diagnostic it prints is followed at once by the
// history of its location (instantiated from 1597, included from 1599, then
// one 1598 per macro expansion, the outermost first) and by the diagnostics of
// its message-list parameters; each of those passes the same filter with the
// same suppressed flag and brings its own history and nested diagnostics
// along, depth first. No line carries an indentation or mark of its own.
class M_OutputFormat : public M_OutputBase {
public:
  void close() override;
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  // Prints nothing.
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) override;

  // The format string of this output, composed once per process: option
  // "format" when it is not empty, else "%F" ("expandfilenames" on) or "%f"
  // followed by the default message layout. It shapes no line: every line is
  // the diagnostic's text line.
  static const std::string &formatString();

private:
  void writeNested(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed);
  void writeHistory(const U_Location &location, bool suppressed);
  void writeIfShown(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed);

  bool m_failed = false; // the failure of standard output was reported
};

// Discards everything.
class M_OutputNull : public M_OutputBase {
public:
  void close() override;
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) override;
};

// Each installs a new sink of its class (M_installOutput) and sets the output
// kind: simple 0, format 1, null 5. The error-file path plays no part.
void M_openSimpleOutput();
void M_openSimpleOutputForErrorFile(const std::string &errorFilePath);
void M_openFormatOutput();
void M_openNullOutput();

// The texts of a suppression line. The kind: 0 "LOC", 1 "SUP", any other
// "Unknown".
std::string M_suppressionKindText(std::uint32_t kind);
// The (from, to) pairs joined by ","; a pair is its from text, followed by "-"
// and its to text when that is not empty and differs from the from text.
std::string M_messageRangesText(const M_MessageRanges &ranges);
// "nofile.cc:0" for a null location; otherwise "<file>:<line>:<column>:" from
// the shown (line-directive) file and line when the location has them, with
// ":*:" in place of ":<column>:" for a negative column.
std::string M_locationText(const U_Location &location);
