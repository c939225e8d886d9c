// Reading the error file of each input file back into model diagnostics: the
// suppression decision for each diagnostic and the error-file listeners that
// the checks register.
//
// The error file is read only while some listener of the first seven lists
// below is registered or the debug word "always_read_errors" is given. Each
// list holds a function once and is walked in registration order.
#pragma once

#include <cstdint>

class P_SuppressionRecord;
class QL_Filename;
struct P_Diagnostic;

namespace test_support {
class ErrorFileReaderReset;
}

// Called for each diagnostic shown, with the diagnostic of the run that it
// repeats when an equal one (same place, number and parameter texts) was
// dispatched before, from this error file or an earlier one.
using P_DiagnosticListener = void (*)(P_Diagnostic *diagnostic, bool repeat, bool suppressed);
using P_UnsuppressedDiagnosticListener = void (*)(P_Diagnostic *diagnostic, bool repeat);
// A record that suppresses the diagnostic.
using P_SuppressingRecordListener = void (*)(P_SuppressionRecord *record, P_Diagnostic *diagnostic);
// A record of the error file, written in and pointing into no quiet file.
using P_SuppressionRecordListener = void (*)(P_SuppressionRecord *record);
// A text of the diagnostic's parameter at the index (from 0), interned.
using P_ParameterTextListener = void (*)(P_Diagnostic *diagnostic, std::uint32_t index, const char *text);
// A diagnostic nested in the parent's parameters, or a step of the history of
// the parent's location.
using P_SubDiagnosticListener = void (*)(P_Diagnostic *parent, P_Diagnostic *sub);
// The number and the file name of a diagnostic that the display filter drops.
using P_HiddenDiagnosticListener = void (*)(std::uint32_t number, const char *fileName);
using P_ErrorFileCallback = void (*)();

// For each diagnostic shown, after its message listeners.
void registerDiagnosticListener(P_DiagnosticListener listener);
// For each diagnostic shown whose number is the number, before the
// diagnostic listeners.
void registerMessageListener(std::uint32_t number, P_DiagnosticListener listener);
// For each diagnostic shown that is not suppressed.
void registerUnsuppressedDiagnosticListener(P_UnsuppressedDiagnosticListener listener);
// For each record that suppresses a diagnostic shown; with such a listener
// the decision gathers the records instead of only asking whether one exists.
void registerSuppressingRecordListener(P_SuppressingRecordListener listener);
// Once for each suppression record of each error file read (not while the
// option "hiddenwarnings" is on).
void registerSuppressionRecordListener(P_SuppressionRecordListener listener);
// For each text of the parameters of a diagnostic shown, at its first
// dispatch; nested diagnostics are walked depth first.
void registerParameterTextListener(P_ParameterTextListener listener);
// For each diagnostic nested in the parameters of a diagnostic shown, at its
// first dispatch, depth first; then for each step of the history of its
// location (called from, instantiated from, included from, macro expansions)
// whose number is wanted.
void registerSubDiagnosticListener(P_SubDiagnosticListener listener);
// For each diagnostic that the display filter drops; this list alone does not
// make the error file read.
void registerHiddenDiagnosticListener(P_HiddenDiagnosticListener listener);
// Callbacks that only notifyErrorFileCallbacks calls.
void registerErrorFileCallback(P_ErrorFileCallback callback);
void notifyErrorFileCallbacks();

// Gives 2 without reading while the error file is not to be read. Otherwise
// reads the error file of the file in the output directory (its last path
// component with ".err" added) whole, in either format; throws
// P_FileOpenException with its identity when it cannot be read, after the
// reader has said why, and then nothing of it is dispatched or kept. Of a
// file read: its suppression records join those of every error file read
// before in the run (unless the option "hiddenwarnings" is given and on) and
// reach the suppression-record listeners; its diagnostics are sorted, stably,
// by the order of read-back diagnostics, those equal to one before them are
// dropped, and each of the others is dispatched to the listeners with its
// suppression decided by every record of the run. Gives 0. Before anything
// is dispatched, and also when nothing is read, the run's error-file output
// is released when this is its file, or refused when it could not be read.
int readErrorFile(const QL_Filename &outputDirectory, const QL_Filename &file);

// Walks the parameters of the diagnostic for the parameter-text and
// sub-diagnostic listeners: the texts of text, entity and string-list
// parameters reach the text listeners; each diagnostic of a message list
// becomes a sub-diagnostic kept for the run, reaches the sub-diagnostic
// listeners and is walked in turn, depth first; then, while sub-diagnostic
// listeners exist, so do the wanted steps of the history of the diagnostic's
// location. A null diagnostic is a failed assertion that ends the run.
void collectDiagnosticParameters(P_Diagnostic *diagnostic);

// The diagnostic rendered through the format string (caller value 0), as an
// interned text. A null format or diagnostic is a failed assertion that ends
// the run.
const char *formatDiagnostic(P_Diagnostic *diagnostic, const char *format);

// The state the reader keeps for the run: the diagnostics dispatched and the
// sub-diagnostics made.
class P_ErrorFileReaderState {
private:
  friend class test_support::ErrorFileReaderReset;
  // Forgets the diagnostics dispatched and the sub-diagnostics made, and the
  // suppression records of the error files read.
  static void reset();
};
