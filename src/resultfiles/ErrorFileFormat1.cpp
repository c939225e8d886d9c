#include "resultfiles/ErrorFileFormat1.h"

#include "cmdline/PrintableFileName.h"
#include "foundation/Location.h"
#include "foundation/TextConversion.h"
#include "messages/Diagnostic.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordWriter.h"

#include <limits>

QL_Filename &M_tamselLastFile() {
  static QL_Filename file;
  return file;
}

void writeTamselHeader(R_Writer &stream) {
  writeTamselInt(stream, static_cast<std::int32_t>(M_tamselVersion));
  writeTamselInt(stream, 0);
}

void writeTamselInt(R_Writer &stream, std::int32_t value) {
  try {
    stream.writeInt(static_cast<std::uint32_t>(value));
  } catch (const R_WritingException &) {
    throw M_BadIntWriteException();
  }
}

void writeTamselString(R_Writer &stream, const std::string &text) {
  // n + 1 has to fit the int32 in front of the text.
  if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    stream.discard();
    throw M_BadTextWriteException();
  }
  writeTamselInt(stream, static_cast<std::int32_t>(text.size() + 1));
  try {
    // The text and its NUL as one item.
    stream.writeBytes(text.c_str(), text.size() + 1);
  } catch (const R_WritingException &) {
    throw M_BadTextWriteException();
  }
}

void writeTamselFileRecord(R_Writer &stream, const U_Location &location) {
  const QL_Filename &file = location.getFile();
  if (file.canonical() == M_tamselLastFile().canonical())
    return;
  writeTamselInt(stream, M_tamselFileRecord);
  // Readers take the name back from the product's encoding.
  writeTamselString(stream, QL_fromInternal(filenameToString(file.canonical())));
  M_tamselLastFile() = file;
}

void writeTamselMessage(R_Writer &stream, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  const U_Location &location = diagnostic->getLocation();
  writeTamselInt(stream, M_tamselMessage3);
  if (location.hasInclLoc()) {
    writeTamselInt(stream, U_Location::mainFileLocation(location).getLine());
    writeTamselInt(stream, location.getLine());
  } else {
    writeTamselInt(stream, location.getLine());
    writeTamselInt(stream, -1);
  }
  // Unsigned arithmetic: column 0 gives FF FF FF FF.
  writeTamselInt(stream, static_cast<std::int32_t>(static_cast<std::uint32_t>(location.getColumn()) - 1u));
  writeTamselInt(stream, static_cast<std::int32_t>(diagnostic->getNumber()));
  writeTamselInt(stream, suppressed ? 1 : 0);
  writeTamselInt(stream, diagnostic->isError() ? 1 : 0);
  writeTamselParams(stream, *diagnostic);
}

void writeTamselParams(R_Writer &stream, const M_Diagnostic &diagnostic) {
  // Every kind of parameter has a text, so every parameter is written.
  writeTamselInt(stream, diagnostic.getParameterCount());
  for (int i = 0; i < diagnostic.getParameterCount(); ++i) {
    // A text parameter is written as it is held, without a copy.
    const M_ParamType *param = diagnostic.getParameter(i);
    if (const auto *text = dynamic_cast<const M_ParamStringType *>(param))
      writeTamselString(stream, text->getString());
    else
      writeTamselString(stream, param->text());
  }
  writeTamselInt(stream, 0);
}

void writeTamselDiagnostic(R_Writer &stream, const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  writeTamselFileRecord(stream, diagnostic->getLocation());
  writeTamselMessage(stream, diagnostic, suppressed);
}
