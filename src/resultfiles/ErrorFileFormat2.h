// Format 2 of the error file, written through the binary record layer: a
// header of the version 0x9300 and a reserved int32 0; then records that
// begin with a type byte: 1 an opening (int32 n and n bytes that carry
// nothing), after which the ids of texts, files and locations start from 0
// again; 2 a message body (only readers meet it); 4 a suppression record; 8 a
// message body and an int32 trailer.
//
// A message body: the location, the number, the flags (1 sent as suppressed,
// 2 hidden by the user), the error flag (1 or 0), the parameter count k and k
// parameters, each a kind byte and its value: 1 a string (a text, or an
// entity's display name), 2 a count and that many strings (a list of texts),
// 4 a count and that many bodies (a list of nested diagnostics, written
// without trailer and not suppressed).
#pragma once

#include "foundation/Ref.h"
#include "messages/ParamType.h"
#include "resultfiles/ErrorFileExceptions.h"

#include <cstdint>

class M_Diagnostic;
class M_SuppressionRecord;
class R_Writer;

inline constexpr std::uint32_t M_tamsel2Version = M_writtenErrorFileVersion;

enum M_Tamsel2RecordType : std::uint8_t {
  M_tamsel2Opening = 1,
  M_tamsel2Body = 2,
  M_tamsel2Suppression = 4,
  M_tamsel2Message = 8,
};

enum M_Tamsel2ParamKind : std::uint8_t {
  M_tamsel2TextParam = 1,
  M_tamsel2ListParam = 2,
  M_tamsel2MessageListParam = 4,
};

// The flag bits of a message body.
enum M_Tamsel2Flag : std::uint32_t {
  M_tamsel2Suppressed = 1,
  M_tamsel2HiddenByUser = 2,
};

// Writes one parameter. A kind without a layout in the format writes nothing.
class R_writeParamTypeVisitor : public M_ParamTypeNav {
public:
  explicit R_writeParamTypeVisitor(R_Writer &writer) : m_writer(writer) {}

  // 4, the count, and each nested diagnostic's body, not suppressed.
  void visitMsgList(M_ParamMsgListType &param) override;
  // 2, the count, and each text as a string.
  void visitList(M_ParamListType &param) override;
  // 1 and the display name's rendering chosen by option "showalias" (read
  // now) and the parameter's flag: text, text2, text3 or text4 for showalias
  // off and on, flag false and true.
  void visitEntity(M_ParamEntityType &param) override;
  // 1 and the text as a string.
  void visitString(M_ParamStringType &param) override;
  void visitOther(M_ParamType &param) override;

private:
  R_Writer &m_writer;
};

// Whether format 2 has a layout for the parameter's kind. Only such
// parameters are written and counted.
bool hasTamsel2Layout(M_ParamType &param);

// Whether the diagnostic and every diagnostic nested in its parameters have a
// location; only such a diagnostic can be written.
bool hasTamsel2Locations(const M_Diagnostic &diagnostic);

// Each writer throws R_WritingException when its bytes do not reach the file
// whole; the writer has restored the file then.

// The version word and the reserved 0.
void writeTamsel2Header(R_Writer &writer);
// The opening record with its type byte and no bytes of its own.
void writeTamsel2Opening(R_Writer &writer);
// A message body and the trailer (rand() mod 9999) XOR the number; the
// caller writes the type byte. The location of the body is written with the
// value that option "showalias" had at the first body of the process.
void writeTamsel2Message(R_Writer &writer, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed);
// A stretch that is written again (its file was made meanwhile by another
// run, so it is appended instead) gets the trailer numbers it got before:
// from a mark on, the numbers drawn are kept, and a rewind gives them again,
// in order, before new ones are drawn.
void M_markTamsel2Trailers();
void M_rewindTamsel2Trailers();
void writeTamsel2MessageBody(R_Writer &writer, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed);
void writeTamsel2Param(M_ParamType &param, R_Writer &writer);
// A suppression record; the caller writes the type byte. Its locations are
// written with option "showalias" as it is now.
void writeTamsel2Suppression(R_Writer &writer, const U_RefPtr<M_SuppressionRecord> &record);
