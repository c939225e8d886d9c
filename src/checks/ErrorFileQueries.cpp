#include "anlsrslt/include/ErrorFileQueries.h"

#include "anlsrslt/readers/ErrorFileReader.h"
#include "anlsrslt/suppression/SuppressionRecord.h"

void PI_registerUnsuppressedDiagnosticListener(PI_UnsuppressedDiagnosticListener listener) {
  registerUnsuppressedDiagnosticListener(listener);
}
void PI_registerMessageListener(std::uint32_t number, PI_DiagnosticListener listener) {
  registerMessageListener(number, listener);
}
void PI_registerDiagnosticListener(PI_DiagnosticListener listener) { registerDiagnosticListener(listener); }
void PI_registerParameterTextListener(PI_ParameterTextListener listener) {
  registerParameterTextListener(listener);
}
void PI_registerSubDiagnosticListener(PI_SubDiagnosticListener listener) {
  registerSubDiagnosticListener(listener);
}
void PI_registerHiddenDiagnosticListener(PI_HiddenDiagnosticListener listener) {
  registerHiddenDiagnosticListener(listener);
}
const char *PI_formatDiagnostic(P_Diagnostic *diagnostic, const char *format) {
  return formatDiagnostic(diagnostic, format);
}

P_Location *PI_suppressionRecordLocation(const P_SuppressionRecord *record) {
  return P_SuppressionRecord::getLocation(record);
}
P_Location *PI_suppressionRecordStart(const P_SuppressionRecord *record) {
  return P_SuppressionRecord::getStartLocation(record);
}
P_Location *PI_suppressionRecordEnd(const P_SuppressionRecord *record) {
  return P_SuppressionRecord::getEndLocation(record);
}
std::uint32_t PI_suppressionRecordKind(const P_SuppressionRecord *record) {
  return P_SuppressionRecord::getKind(record);
}
const char *PI_suppressionRecordName(const P_SuppressionRecord *record) {
  return P_SuppressionRecord::getName(record);
}
std::uint32_t PI_suppressionRecordRangeCount(const P_SuppressionRecord *record) {
  return P_SuppressionRecord::getMessageRangeCount(record);
}
std::uint32_t PI_suppressionRecordRangeFrom(const P_SuppressionRecord *record, std::uint32_t index) {
  return static_cast<std::uint32_t>(P_SuppressionRecord::getMessageRangeFrom(record, index));
}
std::uint32_t PI_suppressionRecordRangeTo(const P_SuppressionRecord *record, std::uint32_t index) {
  return static_cast<std::uint32_t>(P_SuppressionRecord::getMessageRangeTo(record, index));
}

void PI_registerSuppressingRecordListener(PI_SuppressingRecordListener listener) {
  registerSuppressingRecordListener(listener);
}
void PI_registerSuppressionRecordListener(PI_SuppressionRecordListener listener) {
  registerSuppressionRecordListener(listener);
}
