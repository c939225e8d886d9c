// Format 1 of the error file: int32 words, little-endian. A header of the
// version 0x7900 and a reserved 0; then records that begin with an int32
// type: 1 names the file that the following messages are in (the current
// file), 3 is a message. Types 0 and 2 are older message records that only
// readers meet. A string is int32 (n + 1), then its n bytes and a NUL.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <string>

class M_Diagnostic;
class R_Writer;
class U_Location;

inline constexpr std::uint32_t M_tamselVersion = 0x7900;

// The record types of format 1.
enum M_TamselRecordType : std::uint32_t {
  M_tamselMessage0 = 0,
  M_tamselFileRecord = 1,
  M_tamselMessage2 = 2,
  M_tamselMessage3 = 3,
};

// The file of the last current-file record written; a default identity when
// none has been written since the last opening of a format-1 file.
QL_Filename &M_tamselLastFile();

// The writers below throw M_BadIntWriteException for an integer and
// M_BadTextWriteException for the bytes of a string that do not reach the
// file whole; the writer has restored the file then.

// The version word and the reserved 0.
void writeTamselHeader(R_Writer &stream);
void writeTamselInt(R_Writer &stream, std::int32_t value);
// int32 (n + 1), the text's n bytes and a NUL.
void writeTamselString(R_Writer &stream, const std::string &text);
// A current-file record, when the location's file is not the one of the last
// such record: type 1 and the file's canonical name in the product's
// encoding.
void writeTamselFileRecord(R_Writer &stream, const U_Location &location);
// A message record (type 3): the main-file line and the own line when the
// location was included (the own line and -1 otherwise), the column - 1, the
// number, 1 when suppressed, 1 for the error flag, then the parameters.
void writeTamselMessage(R_Writer &stream, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed);
// The parameter count, each parameter's one-line text as a string, and the
// count of string-list parameters, which is always 0.
void writeTamselParams(R_Writer &stream, const M_Diagnostic &diagnostic);
// writeTamselFileRecord of the diagnostic's location, then writeTamselMessage.
void writeTamselDiagnostic(R_Writer &stream, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed);
