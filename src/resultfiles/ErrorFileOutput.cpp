#include "resultfiles/ErrorFileOutput.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Assertion.h"
#include "foundation/Exception.h"
#include "foundation/PlatformName.h"
#include "messages/Diagnostic.h"
#include "messages/DisplayFilters.h"
#include "messages/QuietFiles.h"
#include "messages/TextOutputs.h"
#include "platform/BinaryFile.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/ErrorFileFormat1.h"
#include "resultfiles/ErrorFileFormat2.h"
#include "resultfiles/ErrorFileInput.h"
#include "resultfiles/ErrorFilePath.h"
#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordWriter.h"

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int format1Kind = 2;
constexpr int format2Kind = 3;

// The version words of existing files that each format appends to.
bool appendsInFormat1(std::uint32_t version) { return version == M_tamselVersion; }
bool appendsInFormat2(std::uint32_t version) {
  return version == 0x8200 || version == 0x9100 || version == 0x9200 || version == M_tamsel2Version;
}

[[noreturn]] void cannotWrite(const R_Writer &writer) { throw M_BadFileOpenException(writer.fileName()); }

// Runs the writing of one record. A write that fails has restored the file;
// the failure leaves as the one error that names the file.
template <class Write> void writeRecord(R_Writer &writer, Write write) {
  try {
    write();
  } catch (const R_WritingException &) {
    cannotWrite(writer);
  } catch (const M_BadIntWriteException &) {
    cannotWrite(writer);
  } catch (const M_BadTextWriteException &) {
    cannotWrite(writer);
  }
}

// Closes and removes the writer. A writer that failed before has put its file
// back and been reported; a close that fails puts the file back and is
// reported now.
void closeWriter(std::unique_ptr<R_Writer> &slot) {
  const std::unique_ptr<R_Writer> writer = std::move(slot);
  if (writer && writer->isOpen() && !writer->close())
    cannotWrite(*writer);
}

// Makes the process-wide writer on the path and opens it; the writer stays
// when the opening fails, so that later writes fail too.
R_Writer &openWriter(std::unique_ptr<R_Writer> &slot, const std::string &path, bool append) {
  slot = std::make_unique<R_Writer>(nameForPlatform(path));
  R_Writer &writer = *slot;
  if (!(append ? writer.openForAppend() : writer.open()))
    cannotWrite(writer);
  return writer;
}

// The writer of the installed output. Outputs are installed only by the
// factories, which make the writer before anything can reach the output.
R_Writer &installedWriter(const std::unique_ptr<R_Writer> &slot) {
  U_ASSERT(slot && "Error file output without its file.");
  return *slot;
}

void openTamselFile(const std::string &path, bool append) {
  // The current-file records start again with each file.
  M_tamselLastFile() = QL_Filename();
  R_Writer &writer = openWriter(M_tamselStream(), path, append);
  if (!append)
    writeRecord(writer, [&] { writeTamselHeader(writer); });
}

void openTamsel2File(const std::string &path, bool append) {
  R_Writer &writer = openWriter(M_tamsel2Writer(), path, append);
  writeRecord(writer, [&] {
    if (!append)
      writeTamsel2Header(writer);
    writeTamsel2Opening(writer);
  });
}

template <class Output> void installOutput(int kind) { M_installOutput(kind, std::make_unique<Output>()); }

// What the probe of an error file decided.
struct ErrorFilePlan {
  std::string path;
  bool format2;
  bool append;
};

// Probes the error file of the source file in the output directory. Only a
// regular file opens; anything else is refused as a file that cannot be
// opened. A missing file is to be created in the format of the kind, an
// existing one appended to in its own format.
ErrorFilePlan planErrorFile(const std::string &sourceFile, const std::string &outputDirectory, int kind) {
  ErrorFilePlan plan{errorFilePath(outputDirectory, sourceFile), kind != format1Kind, false};
  const std::string platformPath = nameForPlatform(plan.path);
  errno = 0;
  std::FILE *probe = platform::openBinaryFile(platformPath, "rb");
  if (!probe) {
    if (errno != ENOENT)
      throw M_BadFileOpenException(platformPath);
    return plan;
  }
  unsigned char bytes[4] = {};
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, probe);
  const bool readFailed = std::ferror(probe) != 0;
  std::fclose(probe);
  // A file that opens but cannot be read is no short file.
  if (readFailed)
    throw U_UserException("Cannot read file: '" + plan.path + "'.");
  if (got < sizeof bytes)
    throw M_BadTextReadException();
  const std::uint32_t version =
      bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  if (appendsInFormat1(version))
    plan.format2 = false;
  else if (appendsInFormat2(version))
    plan.format2 = true;
  else
    throw M_BadVersionForAppendException(version);
  plan.append = true;
  return plan;
}

// One call that an output holding back was given.
struct HeldCall {
  enum Kind { send, write, suppression };
  Kind kind;
  U_RefPtr<M_Diagnostic> diagnostic;
  bool suppressed = false;
  U_RefPtr<M_SuppressionRecord> record;
};

// The output that holds back, the file it is for, and what it was given.
struct HeldOutput {
  const M_OutputBase *output;
  ErrorFilePlan plan;
  std::vector<HeldCall> calls;
};

std::optional<HeldOutput> &heldOutput() {
  static std::optional<HeldOutput> held;
  return held;
}

// Keeps the call when the output holds back; true then.
bool holdsBack(const M_OutputBase &output, HeldCall call) {
  std::optional<HeldOutput> &held = heldOutput();
  if (!held || held->output != &output)
    return false;
  held->calls.push_back(std::move(call));
  return true;
}

void replay(const std::vector<HeldCall> &calls, M_OutputBase &output) {
  for (const HeldCall &call : calls) {
    switch (call.kind) {
    case HeldCall::send:
      output.send(call.diagnostic, call.suppressed);
      break;
    case HeldCall::write:
      output.write(call.diagnostic, call.suppressed);
      break;
    case HeldCall::suppression:
      output.writeSuppression(call.record);
      break;
    }
  }
}

// Leaves the file of a held output as it is: the simple text output takes the
// output's place and gets what was held back.
void divertToSimpleOutput(const HeldOutput &taken) {
  std::cerr << "Warning - Not adding to error file '" << taken.plan.path
            << "', which cannot be read back; diagnostics go to standard output." << std::endl;
  M_openSimpleOutput();
  replay(taken.calls, *M_currentOutput());
}

// Ends the holding back of the output, when it holds back: opens its file and
// hands it what it was given. The holding ends first, so that a failure
// leaves an output that no longer holds back. A file to append to is read
// back first, whether or not the run read it: records added behind a damaged
// record would be taken into it.
void release(M_OutputBase &output) {
  std::optional<HeldOutput> &held = heldOutput();
  if (!held || held->output != &output)
    return;
  const HeldOutput taken = std::move(*held);
  held.reset();
  if (taken.plan.append && !M_errorFileReadsBack(taken.plan.path)) {
    divertToSimpleOutput(taken);
    return;
  }
  if (taken.plan.format2)
    openTamsel2File(taken.plan.path, taken.plan.append);
  else
    openTamselFile(taken.plan.path, taken.plan.append);
  replay(taken.calls, output);
}

// Whether an output holds back for the error file at the path.
bool holdsBackFor(const std::string &path) {
  const std::optional<HeldOutput> &held = heldOutput();
  return held && QL_Filename::fromPath(held->plan.path) == QL_Filename::fromPath(path);
}

bool noGenKept() {
  static C_OnceAnswer<bool> answer([] { return C_optNoGen().value(); });
  return answer.get();
}

} // namespace

std::unique_ptr<R_Writer> &M_tamselStream() {
  static std::unique_ptr<R_Writer> writer;
  return writer;
}

std::unique_ptr<R_Writer> &M_tamsel2Writer() {
  static std::unique_ptr<R_Writer> writer;
  return writer;
}

void M_OutputTamsel::close() {
  release(*this);
  closeWriter(M_tamselStream());
}

void M_OutputTamsel::send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (holdsBack(*this, {HeldCall::send, diagnostic, suppressed, {}}))
    return;
  if (isQuietLocation(diagnostic->getLocation()))
    return;
  write(diagnostic, suppressed);
}

void M_OutputTamsel::write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (holdsBack(*this, {HeldCall::write, diagnostic, suppressed, {}}))
    return;
  // Format 1 has no form for a diagnostic without location.
  U_ASSERT(diagnostic->getLocation().isSet() && "Dont write a diagnostic without location.");
  R_Writer &writer = installedWriter(M_tamselStream());
  writeRecord(writer, [&] { writeTamselDiagnostic(writer, diagnostic, suppressed); });
}

void M_OutputTamsel::writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) {
  holdsBack(*this, {HeldCall::suppression, {}, false, record});
}

void M_OutputTamsel2::close() {
  release(*this);
  closeWriter(M_tamsel2Writer());
}

void M_OutputTamsel2::send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (holdsBack(*this, {HeldCall::send, diagnostic, suppressed, {}}))
    return;
  if (isQuietLocation(diagnostic->getLocation()))
    return;
  if (noGenKept() && !M_isMessageNumberWanted(diagnostic))
    return;
  write(diagnostic, suppressed);
}

void M_OutputTamsel2::write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) {
  if (holdsBack(*this, {HeldCall::write, diagnostic, suppressed, {}}))
    return;
  if (M_OutputKind() != format2Kind)
    return;
  // Checked before the first byte, so that no record is begun that cannot be
  // finished.
  U_ASSERT(hasTamsel2Locations(*diagnostic) && "Dont write a diagnostic without location.");
  R_Writer &writer = installedWriter(M_tamsel2Writer());
  writeRecord(writer, [&] {
    writer.writeByte(M_tamsel2Message);
    writeTamsel2Message(writer, diagnostic, suppressed);
  });
}

void M_OutputTamsel2::writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) {
  if (holdsBack(*this, {HeldCall::suppression, {}, false, record}))
    return;
  U_ASSERT(record->getLocation().isSet() && record->getStartLocation().isSet() &&
           "Dont write a suppression record without its locations.");
  R_Writer &writer = installedWriter(M_tamsel2Writer());
  writeRecord(writer, [&] {
    writer.writeByte(M_tamsel2Suppression);
    writeTamsel2Suppression(writer, record);
  });
}

void openErrorFileForOutput(const std::string &sourceFile, const std::string &outputDirectory, int kind) {
  const ErrorFilePlan plan = planErrorFile(sourceFile, outputDirectory, kind);
  if (plan.format2)
    plan.append ? openAppendTamsel2Output(plan.path) : openNewTamsel2Output(plan.path);
  else
    plan.append ? openAppendTamselOutput(plan.path) : openNewTamselOutput(plan.path);
}

void openHeldErrorFileOutput(const std::string &sourceFile, const std::string &outputDirectory, int kind) {
  ErrorFilePlan plan = planErrorFile(sourceFile, outputDirectory, kind);
  if (plan.format2)
    installOutput<M_OutputTamsel2>(format2Kind);
  else
    installOutput<M_OutputTamsel>(format1Kind);
  heldOutput() = HeldOutput{M_currentOutput(), std::move(plan), {}};
}

void M_releaseErrorFileOutput(const std::string &errorFilePath) {
  if (holdsBackFor(errorFilePath))
    release(*M_currentOutput());
}

void M_refuseErrorFileOutput(const std::string &errorFilePath) {
  if (!holdsBackFor(errorFilePath))
    return;
  if (!heldOutput()->plan.append) {
    // Nothing was there to read: the file is made as it would have been.
    release(*M_currentOutput());
    return;
  }
  const HeldOutput taken = std::move(*heldOutput());
  heldOutput().reset();
  divertToSimpleOutput(taken);
}

bool M_errorFileOutputHolds() {
  const std::optional<HeldOutput> &held = heldOutput();
  return held && held->output == M_currentOutput();
}

void openNewTamselOutput(const std::string &path) {
  installOutput<M_OutputTamsel>(format1Kind);
  createTamselFile(*M_currentOutput(), path);
}

void openAppendTamselOutput(const std::string &path) {
  installOutput<M_OutputTamsel>(format1Kind);
  appendTamselFile(*M_currentOutput(), path);
}

void openNewTamsel2Output(const std::string &path) {
  installOutput<M_OutputTamsel2>(format2Kind);
  createTamsel2File(*M_currentOutput(), path);
}

void openAppendTamsel2Output(const std::string &path) {
  installOutput<M_OutputTamsel2>(format2Kind);
  appendTamsel2File(*M_currentOutput(), path);
}

void openNewTamselOutputForSource(const std::string &sourceFile) {
  openNewTamselOutput(errorFilePath(outputDirectory(), sourceFile));
}

void openAppendTamselOutputForSource(const std::string &sourceFile) {
  openAppendTamselOutput(errorFilePath(outputDirectory(), sourceFile));
}

void openNewTamsel2OutputForSource(const std::string &sourceFile) {
  openNewTamsel2Output(errorFilePath(outputDirectory(), sourceFile));
}

void openAppendTamsel2OutputForSource(const std::string &sourceFile) {
  openAppendTamsel2Output(errorFilePath(outputDirectory(), sourceFile));
}

void createTamselFile(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamselFile(path, false);
}

void appendTamselFile(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamselFile(path, true);
}

void createTamsel2File(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamsel2File(path, false);
}

void appendTamsel2File(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamsel2File(path, true);
}

void createTamselFileForSource(M_OutputBase &output, const std::string &sourceFile) {
  createTamselFileForSource(output, sourceFile, outputDirectory());
}

void createTamselFileForSource(M_OutputBase &output, const std::string &sourceFile,
                               const std::string &outputDirectory) {
  createTamselFile(output, errorFilePath(outputDirectory, sourceFile));
}

void appendTamselFileForSource(M_OutputBase &output, const std::string &sourceFile) {
  appendTamselFileForSource(output, sourceFile, outputDirectory());
}

void appendTamselFileForSource(M_OutputBase &output, const std::string &sourceFile,
                               const std::string &outputDirectory) {
  appendTamselFile(output, errorFilePath(outputDirectory, sourceFile));
}

void createTamsel2FileForSource(M_OutputBase &output, const std::string &sourceFile) {
  createTamsel2File(output, errorFilePath(outputDirectory(), sourceFile));
}

void appendTamsel2FileForSource(M_OutputBase &output, const std::string &sourceFile) {
  appendTamsel2FileForSource(output, sourceFile, outputDirectory());
}

void appendTamsel2FileForSource(M_OutputBase &output, const std::string &sourceFile,
                                const std::string &outputDirectory) {
  appendTamsel2File(output, errorFilePath(outputDirectory, sourceFile));
}
