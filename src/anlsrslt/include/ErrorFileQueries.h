// The error-file reader through the query interface: the listeners it calls
// with the diagnostics read back from each error file, the suppression
// records it meets, and the formatting of a diagnostic read back. Every
// registration but the hidden-diagnostic one makes the error files read.
// Conventions as in anlsrslt/include/QueryInterface.h; a null record fails
// the assertion of the model.
#pragma once

#include <cstdint>

class P_SuppressionRecord;
struct P_Diagnostic;
struct P_Location;

// With the diagnostic of the run that it repeats when an equal one came
// before, and whether a suppression record holds it back.
using PI_DiagnosticListener = void (*)(P_Diagnostic *diagnostic, bool repeat, bool suppressed);
using PI_UnsuppressedDiagnosticListener = void (*)(P_Diagnostic *diagnostic, bool repeat);
// A record that suppresses the diagnostic.
using PI_SuppressingRecordListener = void (*)(P_SuppressionRecord *record, P_Diagnostic *diagnostic);
// A suppression record of an error file.
using PI_SuppressionRecordListener = void (*)(P_SuppressionRecord *record);
// A text of the diagnostic's parameter at the index (from 0).
using PI_ParameterTextListener = void (*)(P_Diagnostic *diagnostic, std::uint32_t index, const char *text);
// A diagnostic nested in the parent, or a step of its location's history.
using PI_SubDiagnosticListener = void (*)(P_Diagnostic *parent, P_Diagnostic *sub);
// The number and file name of a diagnostic the display filter drops.
using PI_HiddenDiagnosticListener = void (*)(std::uint32_t number, const char *fileName);

// Error-file listeners; each list holds a function once and is called in
// registration order.
// Each diagnostic shown that no record suppresses.
void PI_registerUnsuppressedDiagnosticListener(PI_UnsuppressedDiagnosticListener listener);
// Each diagnostic shown whose number is the number (before the diagnostic
// listeners).
void PI_registerMessageListener(std::uint32_t number, PI_DiagnosticListener listener);
// Each diagnostic shown.
void PI_registerDiagnosticListener(PI_DiagnosticListener listener);
void PI_registerParameterTextListener(PI_ParameterTextListener listener);
void PI_registerSubDiagnosticListener(PI_SubDiagnosticListener listener);
void PI_registerHiddenDiagnosticListener(PI_HiddenDiagnosticListener listener);
// The diagnostic rendered through the format string, interned. A null
// diagnostic or format fails an assertion.
const char *PI_formatDiagnostic(P_Diagnostic *diagnostic, const char *format);

// Suppression records: where the suppression was written, where it starts
// and ends (null when it has no end), its kind and name, and its message
// ranges; an index must be below the count.
P_Location *PI_suppressionRecordLocation(const P_SuppressionRecord *record);
P_Location *PI_suppressionRecordStart(const P_SuppressionRecord *record);
P_Location *PI_suppressionRecordEnd(const P_SuppressionRecord *record);
std::uint32_t PI_suppressionRecordKind(const P_SuppressionRecord *record);
const char *PI_suppressionRecordName(const P_SuppressionRecord *record);
std::uint32_t PI_suppressionRecordRangeCount(const P_SuppressionRecord *record);
std::uint32_t PI_suppressionRecordRangeFrom(const P_SuppressionRecord *record, std::uint32_t index);
std::uint32_t PI_suppressionRecordRangeTo(const P_SuppressionRecord *record, std::uint32_t index);
// Each record that suppresses a diagnostic shown; each suppression record of
// each error file read.
void PI_registerSuppressingRecordListener(PI_SuppressingRecordListener listener);
void PI_registerSuppressionRecordListener(PI_SuppressionRecordListener listener);
