#include "resultfiles/ErrorFileFormat2.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/RecordWriter.h"

#include <cstdlib>
#include <vector>

namespace {

bool showAliasNow() { return C_optShowAlias().value(); }

// Read at the first message body and kept for the process.
bool keptShowAlias() {
  static C_OnceAnswer<bool> answer(showAliasNow);
  return answer.get();
}

// Tells the kinds with a layout from the others.
class LayoutProbe : public M_ParamTypeNav {
public:
  void visitMsgList(M_ParamMsgListType &) override { m_hasLayout = true; }
  void visitList(M_ParamListType &) override { m_hasLayout = true; }
  void visitEntity(M_ParamEntityType &) override { m_hasLayout = true; }
  void visitString(M_ParamStringType &) override { m_hasLayout = true; }

  bool m_hasLayout = false;
};

// The nested diagnostics of a list parameter; null for other kinds.
class NestedDiagnostics : public M_ParamTypeNav {
public:
  void visitMsgList(M_ParamMsgListType &param) override { m_list = &param.getDiagnostics(); }

  const std::vector<U_RefPtr<M_Diagnostic>> *m_list = nullptr;
};

std::uint32_t layoutParameterCount(const M_Diagnostic &diagnostic) {
  std::uint32_t count = 0;
  for (int i = 0; i < diagnostic.getParameterCount(); ++i)
    count += hasTamsel2Layout(*diagnostic.getParameter(i)) ? 1 : 0;
  return count;
}

} // namespace

void R_writeParamTypeVisitor::visitMsgList(M_ParamMsgListType &param) {
  const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics = param.getDiagnostics();
  m_writer.writeByte(M_tamsel2MessageListParam);
  m_writer.writeInt(static_cast<std::uint32_t>(diagnostics.size()));
  for (const U_RefPtr<M_Diagnostic> &diagnostic : diagnostics)
    writeTamsel2MessageBody(m_writer, diagnostic, false);
}

void R_writeParamTypeVisitor::visitList(M_ParamListType &param) {
  const std::vector<std::string> &strings = param.getStrings();
  m_writer.writeByte(M_tamsel2ListParam);
  m_writer.writeInt(static_cast<std::uint32_t>(strings.size()));
  for (const std::string &text : strings)
    m_writer.writeString(text);
}

void R_writeParamTypeVisitor::visitEntity(M_ParamEntityType &param) {
  const U_RefPtr<U_EntityDisplayName> &entity = param.getEntity();
  std::string rendering;
  if (entity.isSet()) {
    if (showAliasNow())
      rendering = param.getFlag() ? entity->text4() : entity->text3();
    else
      rendering = param.getFlag() ? entity->text2() : entity->text();
  }
  m_writer.writeByte(M_tamsel2TextParam);
  m_writer.writeCString(rendering.c_str());
}

void R_writeParamTypeVisitor::visitString(M_ParamStringType &param) {
  m_writer.writeByte(M_tamsel2TextParam);
  m_writer.writeString(param.getString());
}

void R_writeParamTypeVisitor::visitOther(M_ParamType &) {}

bool hasTamsel2Layout(M_ParamType &param) {
  LayoutProbe probe;
  param.accept(probe);
  return probe.m_hasLayout;
}

bool hasTamsel2Locations(const M_Diagnostic &diagnostic) {
  if (!diagnostic.getLocation().isSet())
    return false;
  for (int i = 0; i < diagnostic.getParameterCount(); ++i) {
    NestedDiagnostics nested;
    diagnostic.getParameter(i)->accept(nested);
    if (!nested.m_list)
      continue;
    for (const U_RefPtr<M_Diagnostic> &inner : *nested.m_list) {
      if (!inner.isSet() || !hasTamsel2Locations(*inner))
        return false;
    }
  }
  return true;
}

void writeTamsel2Header(R_Writer &writer) {
  writer.writeInt(M_tamsel2Version);
  writer.writeInt(0);
}

void writeTamsel2Opening(R_Writer &writer) {
  writer.writeByte(M_tamsel2Opening);
  writer.writeInt(0);
}

namespace {

// The trailer numbers drawn since the last mark, and the place of the next
// one; nothing is kept before the first mark.
struct TrailerNumbers {
  bool keeping = false;
  std::vector<std::uint32_t> drawn;
  std::size_t next = 0;
};

TrailerNumbers &trailerNumbers() {
  static TrailerNumbers numbers;
  return numbers;
}

std::uint32_t nextTrailerNumber() {
  TrailerNumbers &numbers = trailerNumbers();
  if (numbers.next < numbers.drawn.size())
    return numbers.drawn[numbers.next++];
  // Readers skip the trailer; the generator is never seeded.
  const auto number = static_cast<std::uint32_t>(std::rand() % 9999);
  if (numbers.keeping) {
    numbers.drawn.push_back(number);
    ++numbers.next;
  }
  return number;
}

} // namespace

void M_markTamsel2Trailers() {
  TrailerNumbers &numbers = trailerNumbers();
  numbers.keeping = true;
  numbers.drawn.clear();
  numbers.next = 0;
}

void M_rewindTamsel2Trailers() {
  TrailerNumbers &numbers = trailerNumbers();
  U_ASSERT(numbers.keeping && "Rewind the trailers only after a mark.");
  numbers.next = 0;
}

void writeTamsel2Message(R_Writer &writer, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  writeTamsel2MessageBody(writer, diagnostic, suppressed);
  writer.writeInt(nextTrailerNumber() ^ diagnostic->getNumber());
}

void writeTamsel2MessageBody(R_Writer &writer, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  const bool showAlias = keptShowAlias();
  writeBinaryLocation(writer, diagnostic->getLocation(), showAlias);
  writer.writeInt(diagnostic->getNumber());
  writer.writeInt((diagnostic->isHiddenByUser() ? M_tamsel2HiddenByUser : 0u) |
                  (suppressed ? M_tamsel2Suppressed : 0u));
  writer.writeInt(diagnostic->isError() ? 1 : 0);
  // A parameter without a layout is neither written nor counted, so that
  // readers find the parameters that follow.
  writer.writeInt(layoutParameterCount(*diagnostic));
  for (int i = 0; i < diagnostic->getParameterCount(); ++i)
    writeTamsel2Param(*diagnostic->getParameter(i), writer);
}

void writeTamsel2Param(M_ParamType &param, R_Writer &writer) {
  R_writeParamTypeVisitor visitor(writer);
  param.accept(visitor);
}

void writeTamsel2Suppression(R_Writer &writer, const U_RefPtr<M_SuppressionRecord> &record) {
  const bool showAlias = showAliasNow();
  writer.writeByte(static_cast<std::uint8_t>(record->getKind()));
  writeBinaryLocation(writer, record->getLocation(), showAlias);
  writer.writeString(record->getName());
  const M_SuppressionRecord::Ranges &ranges = record->getMessageRanges();
  writer.writeInt(static_cast<std::uint32_t>(ranges.size()));
  for (const auto &[from, to] : ranges) {
    writer.writeString(from);
    writer.writeString(to);
  }
  writer.writeByte(4);
  writeBinaryLocation(writer, record->getStartLocation(), showAlias);
  const bool hasEnd = record->getEndLocation().isSet();
  writer.writeByte(hasEnd ? 1 : 0);
  if (hasEnd)
    writeBinaryLocation(writer, record->getEndLocation(), showAlias);
}
