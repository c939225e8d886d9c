// The error-file reader over a file of any bytes, of either format, read in
// the product's language (the first byte chooses it). A file may be refused,
// but reading must not crash. A file read whole gives diagnostics with a
// location, down to every nested one; written back in format 2 it is read
// whole again with as many diagnostics and records, and from the second
// writing on the bytes settle. The seeds are files that the outputs of both
// formats write: ErrorFileInputTest writes them into the directory that
// LYR_FUZZ_SEEDS names.
#include "FuzzSupport.h"

#include "cmdline/CmdArgs.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/ErrorFileFormat2.h"
#include "resultfiles/ErrorFileInput.h"
#include "resultfiles/RecordWriter.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void setUp(std::uint8_t language) {
  fuzz_support::useProduct(language);
  static const bool arguments = [] {
    C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
    return true;
  }();
  (void)arguments;
}

std::string fileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The diagnostic has a location, and so has every diagnostic in its lists;
// its one-line text can be made.
void checkDiagnostic(const M_Diagnostic &diagnostic) {
  if (!diagnostic.getLocation().isSet())
    std::abort();
  for (int i = 0; i < diagnostic.getParameterCount(); ++i)
    if (const auto *list = dynamic_cast<const M_ParamMsgListType *>(diagnostic.getParameter(i)))
      for (const U_RefPtr<M_Diagnostic> &nested : list->getDiagnostics())
        checkDiagnostic(*nested);
}

std::size_t diagnosticCount(const M_InputTamsel &input) {
  return static_cast<std::size_t>(input.diagnosticsEnd() - input.diagnosticsBegin());
}
std::size_t recordCount(const M_InputTamsel &input) {
  return static_cast<std::size_t>(input.suppressionRecordsEnd() - input.suppressionRecordsBegin());
}

// Writes what was read as a new file of format 2 (messages without trailer,
// so that the bytes depend on nothing else) and reads it back.
U_RefPtr<M_InputTamsel> rewrite(const M_InputTamsel &input, const char *name, std::string &bytes) {
  const std::string path = fuzz_support::workDirectory() + "/" + name;
  {
    R_Writer writer(path);
    if (!writer.open())
      std::abort();
    writeTamsel2Header(writer);
    writeTamsel2Opening(writer);
    for (auto d = input.diagnosticsBegin(); d != input.diagnosticsEnd(); ++d) {
      writer.writeByte(M_tamsel2Body);
      writeTamsel2MessageBody(writer, *d, (*d)->isHiddenByPragma());
    }
    for (auto r = input.suppressionRecordsBegin(); r != input.suppressionRecordsEnd(); ++r) {
      writer.writeByte(M_tamsel2Suppression);
      writeTamsel2Suppression(writer, *r);
    }
    if (!writer.close())
      std::abort();
  }
  bytes = fileBytes(path);
  U_RefPtr<M_InputTamsel> again = M_InputTamsel::openPath(path);
  if (!again.isSet() || diagnosticCount(*again) != diagnosticCount(input) ||
      recordCount(*again) != recordCount(input))
    std::abort();
  return again;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  setUp(data[0]);
  const std::string path = fuzz_support::writeInput(data + 1, size - 1, "input.c.err");
  const fuzz_support::QuietStandardError quiet;
  const U_RefPtr<M_InputTamsel> input =
      M_InputTamsel::openWith(fuzz_support::workDirectory() + "/input.c", path);
  if (!input.isSet())
    return 0;
  for (auto d = input->diagnosticsBegin(); d != input->diagnosticsEnd(); ++d) {
    checkDiagnostic(**d);
    (void)(*d)->dumpText();
  }
  // The first writing may still merge file names that differ only after a
  // NUL byte, and drops the hidden flag of format 1.
  std::string first, second, third;
  const U_RefPtr<M_InputTamsel> once = rewrite(*input, "once.err", first);
  const U_RefPtr<M_InputTamsel> twice = rewrite(*once, "twice.err", second);
  rewrite(*twice, "thrice.err", third);
  if (second != third)
    std::abort();
  return 0;
}
