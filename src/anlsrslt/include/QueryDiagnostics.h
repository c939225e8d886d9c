// Diagnostics of the query interface: a check creates one, gives it texts and
// emits it. A created diagnostic is the check's until PI_emitDiagnostic,
// which sends it (unless a pragma region suppresses it) and destroys it.
#pragma once

#include <cstdint>

struct P_Diagnostic;
struct P_Location;

// A new diagnostic with the number at the line (column 0) of the file. The
// location takes the file name unchanged as both its canonical name and its
// name as written, so a finding is reported under the name as given, also a
// name in a directory that does not exist here; the diagnostic carries the
// include location recorded for the file. Never null: running out of memory
// raises the allocation error.
P_Diagnostic *PI_createDiagnostic(std::uint32_t number, const char *file, std::uint32_t line);
P_Diagnostic *PI_createDiagnosticWithColumn(std::uint32_t number, const char *file, std::uint32_t line,
                                            std::uint32_t column);
// Appends the text as a string parameter.
void PI_addDiagnosticText(P_Diagnostic *diag, const char *text);
// Appends a message-list parameter holding the sub-diagnostic's diagnostic
// (shared); the sub-diagnostic stays the caller's.
void PI_addSubDiagnostic(P_Diagnostic *diag, P_Diagnostic *sub);
// Sends the diagnostic to the output unless a pragma region suppresses it,
// then destroys it in every case: the pointer is invalid afterwards.
void PI_emitDiagnostic(P_Diagnostic *diag);

// Read back; each asserts that the diagnostic is not null.
const char *PI_diagnosticFileName(const P_Diagnostic *diag);
// A new location object of the diagnostic's location, owned by the caller.
P_Location *PI_diagnosticLocation(const P_Diagnostic *diag);
std::uint32_t PI_diagnosticMessageNumber(const P_Diagnostic *diag);
std::uint32_t PI_diagnosticLine(const P_Diagnostic *diag);
std::uint32_t PI_diagnosticColumn(const P_Diagnostic *diag);
