// The error-file reader through the query interface: the listeners it calls
// with the diagnostics read back from each error file, the suppression
// records it meets, and the formatting of a diagnostic read back. Every
// registration but the hidden-diagnostic one makes the error files read.
// Conventions as in anlsrslt/include/QueryInterface.h; a null record fails
// the assertion of the model.
#pragma once

#include "anlsrslt/readers/ErrorFileReader.h"

#include <cstdint>

struct P_Location;

// The listener types of the error-file reader: see there what each is
// called with.
using PI_DiagnosticListener = P_DiagnosticListener;
using PI_UnsuppressedDiagnosticListener = P_UnsuppressedDiagnosticListener;
using PI_SuppressingRecordListener = P_SuppressingRecordListener;
using PI_SuppressionRecordListener = P_SuppressionRecordListener;
using PI_ParameterTextListener = P_ParameterTextListener;
using PI_SubDiagnosticListener = P_SubDiagnosticListener;
using PI_HiddenDiagnosticListener = P_HiddenDiagnosticListener;

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
