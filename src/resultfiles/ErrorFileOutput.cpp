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
#include "platform/LockedFile.h"
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
#include <set>
#include <string>
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

// Says on standard error that a file was left as it is, rather than put back,
// because another writer added to it (one line).
void reportOtherWriter(const platform::AppendEnd &end) {
  if (end.otherWriter)
    std::cerr << platform::otherWriterLine(end) << std::endl;
}

// Says on standard error that a put-back could not remove the journal of the
// findings it took back out of the file (or left in for another writer's
// bytes), which stays (one line).
void reportJournalNotRemoved(const platform::AppendEnd &end) {
  using Kind = M_AppendJournalException::Kind;
  if (end.result == platform::AppendEnd::Result::cannotRemoveJournal && !end.putBack)
    std::cerr << M_AppendJournalException(end.otherWriter ? Kind::cannotRemove : Kind::cannotRemoveOwn,
                                          end.path, end.journal, end.error)
                     .what()
              << std::endl;
}

// A writer that failed has put its file back, or could not: the failure
// leaves as the one error that names the file. A file left as it is for
// another writer's bytes is told of first.
[[noreturn]] void cannotWrite(const R_Writer &writer) {
  using Kind = M_AppendJournalException::Kind;
  const platform::AppendEnd &end = writer.putBackEnd();
  reportOtherWriter(end);
  reportJournalNotRemoved(end);
  if (writer.putBackFailed())
    throw M_FilePutBackException(writer.fileName(), end.length, end.journal, true,
                                 end.result == platform::AppendEnd::Result::cannotSync ? end.error : 0,
                                 writer.error());
  if (!writer.failedJournal().empty())
    throw M_AppendJournalException(writer.journalNotRemoved() ? Kind::cannotRemoveOwn : Kind::cannotWrite,
                                   writer.fileName(), writer.failedJournal(), writer.journalError());
  throw M_BadFileOpenException(writer.fileName(), writer.error());
}

std::string differenceText(const platform::AppendRecovery &recovery) {
  using Difference = platform::AppendRecovery::Difference;
  switch (recovery.difference) {
  case Difference::anotherFile:
    return "it is another file";
  case Difference::shorter:
    return "it is shorter than the " + std::to_string(recovery.length) + " bytes it had";
  case Difference::longer:
    return "it is longer than that run could have made it";
  case Difference::otherBytes:
    return "its bytes after the " + std::to_string(recovery.length) + " it had are not all that run's";
  case Difference::partBlock:
    return "it ends inside a block of that run's bytes, which cannot be checked";
  case Difference::none:
    break;
  }
  return std::string();
}

std::string distrustText(const platform::AppendRecovery &recovery) {
  using Distrust = platform::AppendRecovery::Distrust;
  switch (recovery.distrust) {
  case Distrust::notRegular:
    return "it is no regular file";
  case Distrust::owner:
    return "it belongs to user " + std::to_string(recovery.owner) +
           ", who is neither the file's owner, this run's user nor root";
  case Distrust::writableByOthers:
    return "users other than its owner may write it";
  case Distrust::none:
    break;
  }
  return std::string();
}

// Says on standard error what the opening of an error file found of a run that
// ended while appending to it (one line). A file that may not be added to
// after that ends this run, with one more line: it and its journal stay as
// they are, for a later run.
void reportRecovery(const std::optional<platform::AppendRecovery> &recovery, const std::string &name) {
  if (!recovery)
    return;
  using Outcome = platform::AppendRecovery::Outcome;
  using Kind = M_AppendJournalException::Kind;
  // What becomes of a journal that had to go.
  const bool removed = recovery->removeError == 0;
  const std::string leftAlone =
      removed ? "the file is left as it is and the journal removed." : "the file is left as it is.";
  switch (recovery->outcome) {
  case Outcome::putBack:
    std::cerr << "Warning - Error file '" << name
              << (recovery->wholeAppend()
                      ? "' holds all that a run which did not finish wrote to it; it is put back from "
                      : "' was cut short by a run that ended while writing it; it is put back from ")
              << recovery->found << " to its " << recovery->length << " bytes." << std::endl;
    break;
  case Outcome::nothingAppended:
    break;
  case Outcome::leftAlone:
    std::cerr << "Warning - Error file '" << name << "' is not what its journal '" << recovery->journal
              << "' covers (" << differenceText(*recovery) << "); " << leftAlone << std::endl;
    break;
  case Outcome::otherNames:
    std::cerr << "Warning - Error file '" << name << "' has more than one name: its journal '"
              << recovery->journal
              << "' is not seen by runs through its other names, whose findings may follow "
              << "its " << recovery->length << " bytes; " << leftAlone << std::endl;
    break;
  case Outcome::unreadable:
    std::cerr << "Warning - The journal '" << recovery->journal << "' of error file '" << name
              << "' cannot be read; "
              << (removed ? "it is removed and the file is left as it is." : "the file is left as it is.")
              << std::endl;
    break;
  case Outcome::untrusted:
    std::cerr << "Warning - The journal '" << recovery->journal << "' of error file '" << name
              << "' was not written by a run on that file (" << distrustText(*recovery) << "); "
              << (removed ? "it is removed and the file is left as it is." : "the file is left as it is.")
              << std::endl;
    break;
  case Outcome::cannotCheck:
    throw M_AppendJournalException(Kind::cannotCheck, name, recovery->journal, recovery->error);
  case Outcome::cannotPutBack:
    throw M_FilePutBackException(name, recovery->length, recovery->journal, false);
  case Outcome::cannotSync:
    throw M_AppendJournalException(Kind::cannotSync, name, recovery->journal, recovery->error,
                                   recovery->length);
  }
  if (!removed)
    throw M_AppendJournalException(Kind::cannotRemove, name, recovery->journal, recovery->removeError);
}

// Said once on standard error when a run has waited about a second for the
// lock of its error file; the run then waits on.
platform::LockedFile::WaitNotice lockWaitNotice(const std::string &name) {
  return [name] {
    static bool told = false;
    if (!std::exchange(told, true))
      std::cerr << "Waiting for the lock on error file '" << name << "', which another process holds."
                << std::endl;
  };
}

// Runs the writing of one record, whole or not at all. A write that fails has
// restored the file; the failure leaves as the one error that names the file.
template <class Write> void writeRecord(R_Writer &writer, Write write) {
  try {
    writer.writeWhole(write);
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

// How a writer opens its file.
enum class WriterOpening { create, append, make };

// Makes the process-wide writer on the path and opens it, or hands it the
// file when that is open and locked already (a file found empty is written
// from its start); the writer stays when the opening fails, so that later
// writes fail too.
R_Writer &openWriter(std::unique_ptr<R_Writer> &slot, const std::string &path, WriterOpening opening,
                     platform::LockedFile file) {
  slot = std::make_unique<R_Writer>(nameForPlatform(path));
  R_Writer &writer = *slot;
  bool opened;
  if (file.isOpen())
    opened = writer.openForAppend(std::move(file));
  else if (opening == WriterOpening::make)
    opened = writer.openToMake();
  else
    opened = opening == WriterOpening::append ? writer.openForAppend() : writer.open();
  reportRecovery(writer.recovery(), writer.fileName());
  if (!opened)
    cannotWrite(writer);
  return writer;
}

// The writer of the installed output. Outputs are installed only by the
// factories, which make the writer before anything can reach the output.
R_Writer &installedWriter(const std::unique_ptr<R_Writer> &slot) {
  U_ASSERT(slot && "Error file output without its file.");
  return *slot;
}

void openTamselFile(const std::string &path, WriterOpening opening, platform::LockedFile file = {}) {
  // The current-file records start again with each file.
  M_tamselLastFile() = QL_Filename();
  R_Writer &writer = openWriter(M_tamselStream(), path, opening, std::move(file));
  if (opening != WriterOpening::append)
    writeRecord(writer, [&] { writeTamselHeader(writer); });
}

void openTamsel2File(const std::string &path, WriterOpening opening, platform::LockedFile file = {}) {
  R_Writer &writer = openWriter(M_tamsel2Writer(), path, opening, std::move(file));
  writeRecord(writer, [&] {
    if (opening != WriterOpening::append)
      writeTamsel2Header(writer);
    writeTamsel2Opening(writer);
  });
}

void openErrorFile(bool format2, const std::string &path, WriterOpening opening,
                   platform::LockedFile file = {}) {
  if (format2)
    openTamsel2File(path, opening, std::move(file));
  else
    openTamselFile(path, opening, std::move(file));
}

template <class Output> void installOutput(int kind) { M_installOutput(kind, std::make_unique<Output>()); }

// What the probe of an error file decided.
struct ErrorFilePlan {
  std::string path;
  bool format2;
  bool append;
  // The file is too short for its version word: it cannot be read back.
  bool tooShort = false;
};

// Plans from the first bytes of an existing file (got of them could be read):
// it is appended to in its own format.
void planFromVersion(ErrorFilePlan &plan, const unsigned char *bytes, std::size_t got) {
  if (got < 4)
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
}

// Probes the error file of the source file in the output directory. Only a
// regular file opens; anything else is refused as a file that cannot be
// opened. A missing file is to be created in the format of the kind, an
// existing one appended to in its own format. With emptyAsMissing, an empty
// file is planned as a missing one: another run may just have made it and not
// yet had its turn to write it, and under the lock it is written from its
// header on.
ErrorFilePlan planErrorFile(const std::string &sourceFile, const std::string &outputDirectory, int kind,
                            bool emptyAsMissing = false) {
  ErrorFilePlan plan{errorFilePath(outputDirectory, sourceFile), kind != format1Kind, false};
  const std::string platformPath = nameForPlatform(plan.path);
  errno = 0;
  std::FILE *probe = platform::openBinaryFile(platformPath, "rb");
  if (!probe) {
    if (errno != ENOENT)
      throw M_BadFileOpenException(platformPath, errno);
    return plan;
  }
  unsigned char bytes[4] = {};
  const std::size_t got = std::fread(bytes, 1, sizeof bytes, probe);
  const bool readFailed = std::ferror(probe) != 0;
  std::fclose(probe);
  // A file that opens but cannot be read is no short file.
  if (readFailed)
    throw U_UserException("Cannot read file: '" + plan.path + "'.");
  if (emptyAsMissing && got > 0 && got < 4)
    plan.tooShort = true;
  else if (got > 0 || !emptyAsMissing)
    planFromVersion(plan, bytes, got);
  return plan;
}

// Plans again from the file under its lock: since the probe another run may
// have made the file, or removed one that it had just made. An empty file has
// just been made (by this run or by another still waiting for its turn): it is
// written from its header on, in the format planned. A file too short for its
// version word is marked so.
void planLockedFile(ErrorFilePlan &plan, const platform::LockedFile &file) {
  unsigned char bytes[4] = {};
  const long got = file.readFromStart(bytes, sizeof bytes);
  if (got < 0)
    throw U_UserException("Cannot read file: '" + plan.path + "'.");
  plan.tooShort = got > 0 && got < 4;
  if (got == 0) {
    plan.append = false;
    return;
  }
  if (!plan.tooShort)
    planFromVersion(plan, bytes, static_cast<std::size_t>(got));
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
// From the reading back on, the file is held under its lock (a file missing
// then gets its lock when it is made). A file that was missing when the run
// read it back is made only when the output closes, so that a run that ends
// early leaves none behind and one that another run makes meanwhile is
// appended to; until then the output goes on holding back.
struct HeldOutput {
  const M_OutputBase *output;
  ErrorFilePlan plan;
  std::vector<HeldCall> calls;
  platform::LockedFile file;
  bool readBack = false; // the run has had its turn at reading the file
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

// Says once a run, on standard error, that an error file it appends to has
// more than one name: a run through another name finds no journal where runs
// through this one leave it, so a run killed while adding to the file cannot
// be put right.
void reportOtherNames(const platform::LockedFile &file, const std::string &name) {
  static std::set<std::string> told;
  if (!file.journaled() || !file.hasOtherNames() || !told.insert(name).second)
    return;
  std::cerr << "Warning - Error file '" << name
            << "' has more than one name; runs through its other names do not see its journal, so no run "
               "puts back what a run killed while adding to it leaves."
            << std::endl;
}

// Opens and locks the file of the held output, when that is not done yet.
// False when the file is missing and the opening may not make it.
bool lockHeldFile(HeldOutput &held, platform::LockedFile::Opening opening) {
  if (held.file.isOpen())
    return true;
  const std::string name = nameForPlatform(held.plan.path);
  const bool opened = held.file.open(name, opening, lockWaitNotice(name));
  const int reason = errno;
  reportRecovery(held.file.recovery(), name);
  if (opened) {
    reportOtherNames(held.file, name);
    return true;
  }
  if (opening == platform::LockedFile::Opening::existing && reason == ENOENT)
    return false;
  throw M_BadFileOpenException(name, reason);
}

bool writesFormat2(const M_OutputBase &output) { return dynamic_cast<const M_OutputTamsel2 *>(&output); }

void release(M_OutputBase &output, bool closing, bool readWhole = false);

// Another run made the file meanwhile, in the other format: an output of that
// format takes the place of this one and gets what was held back. At the
// closing it is closed at once.
void changeFormat(HeldOutput taken, bool closing) {
  if (taken.plan.format2)
    installOutput<M_OutputTamsel2>(format2Kind);
  else
    installOutput<M_OutputTamsel>(format1Kind);
  M_OutputBase &output = *M_currentOutput();
  taken.output = &output;
  heldOutput() = std::move(taken);
  if (closing)
    M_closeOutput();
  else
    release(output, false);
}

// Makes the missing file of the held output as a whole, with what was held
// back. False, with nothing made, when the file has been made meanwhile by
// another run (or the file system cannot make a file so).
bool makeHeldFile(const HeldOutput &taken, M_OutputBase &output) {
  M_markTamsel2Trailers();
  openErrorFile(taken.plan.format2, taken.plan.path, WriterOpening::make);
  replay(taken.calls, output);
  std::unique_ptr<R_Writer> &slot = taken.plan.format2 ? M_tamsel2Writer() : M_tamselStream();
  const std::unique_ptr<R_Writer> writer = std::move(slot);
  if (writer->close())
    return true;
  if (writer->nameRefused()) {
    // The same diagnostics are written again: with the same bytes.
    M_rewindTamsel2Trailers();
    return false;
  }
  cannotWrite(*writer);
}

// Ends the holding back of the output, when it holds back: locks its file,
// opens it and hands it what it was given. The holding ends first, so that a
// failure leaves an output that no longer holds back. A file to append to is
// read back first, unless the run has just read it whole under its lock:
// records added behind a damaged record would be taken into it. A missing
// file is made as a whole when the output closes; until then the output goes
// on holding back.
void release(M_OutputBase &output, bool closing, bool readWhole) {
  using Opening = platform::LockedFile::Opening;
  std::optional<HeldOutput> &held = heldOutput();
  if (!held || held->output != &output)
    return;
  // Read under the lock: no other run can have added to it since.
  const bool readWholeUnderLock = readWhole && held->file.isOpen();
  bool locked = false;
  try {
    locked = lockHeldFile(*held, Opening::existing);
  } catch (...) {
    held.reset();
    throw;
  }
  if (!locked && !closing) {
    held->readBack = true;
    return;
  }
  HeldOutput taken = std::move(*held);
  held.reset();
  if (!locked) {
    if (makeHeldFile(taken, output))
      return;
    // Another run made the file meanwhile: it is appended to in its turn. (A
    // file system without second names has it made in place.)
    lockHeldFile(taken, Opening::create);
  }
  planLockedFile(taken.plan, taken.file);
  if (taken.plan.tooShort ||
      (taken.plan.append && !readWholeUnderLock && !M_errorFileReadsBack(taken.plan.path))) {
    taken.file.close();
    divertToSimpleOutput(taken);
    return;
  }
  if (taken.plan.format2 != writesFormat2(output)) {
    changeFormat(std::move(taken), closing);
    return;
  }
  openErrorFile(taken.plan.format2, taken.plan.path,
                taken.plan.append ? WriterOpening::append : WriterOpening::create, std::move(taken.file));
  replay(taken.calls, output);
}

// Whether an output holds back for the error file at the path.
bool holdsBackFor(const std::string &path) {
  const std::optional<HeldOutput> &held = heldOutput();
  return held && QL_Filename::fromPath(held->plan.path) == QL_Filename::fromPath(path);
}

// Ends an output without writing anything: what it held back is dropped and
// its file, when it has one open, is put back as it was.
void discardOutput(const M_OutputBase &output, std::unique_ptr<R_Writer> &slot) {
  std::optional<HeldOutput> &held = heldOutput();
  if (held && held->output == &output)
    held.reset();
  const std::unique_ptr<R_Writer> writer = std::move(slot);
  if (writer)
    writer->discard();
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
  release(*this, true);
  closeWriter(M_tamselStream());
}

void M_OutputTamsel::discard() { discardOutput(*this, M_tamselStream()); }

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
  release(*this, true);
  closeWriter(M_tamsel2Writer());
}

void M_OutputTamsel2::discard() { discardOutput(*this, M_tamsel2Writer()); }

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
  ErrorFilePlan plan = planErrorFile(sourceFile, outputDirectory, kind, true);
  if (plan.format2)
    installOutput<M_OutputTamsel2>(format2Kind);
  else
    installOutput<M_OutputTamsel>(format1Kind);
  heldOutput() = HeldOutput{M_currentOutput(), std::move(plan), {}, {}, false};
}

void M_lockErrorFileOutput(const std::string &errorFilePath) {
  if (!holdsBackFor(errorFilePath))
    return;
  try {
    lockHeldFile(*heldOutput(), platform::LockedFile::Opening::existing);
  } catch (const M_BadFileOpenException &) {
    // Reported when the output is released.
  }
}

void M_releaseErrorFileOutput(const std::string &errorFilePath, bool readWhole) {
  if (holdsBackFor(errorFilePath))
    release(*M_currentOutput(), false, readWhole);
}

void M_refuseErrorFileOutput(const std::string &errorFilePath) {
  if (!holdsBackFor(errorFilePath))
    return;
  bool exists = false;
  try {
    exists = lockHeldFile(*heldOutput(), platform::LockedFile::Opening::existing);
  } catch (const M_BadFileOpenException &) {
    exists = true;
  }
  if (!exists) {
    // Nothing was there to read: the file is made as it would have been.
    release(*M_currentOutput(), false);
    return;
  }
  HeldOutput taken = std::move(*heldOutput());
  heldOutput().reset();
  taken.file.close();
  divertToSimpleOutput(taken);
}

bool M_errorFileOutputHoldsFor(const std::string &errorFilePath) { return holdsBackFor(errorFilePath); }

bool M_errorFileOutputHolds() {
  const std::optional<HeldOutput> &held = heldOutput();
  return held && !held->readBack && held->output == M_currentOutput();
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
  openTamselFile(path, WriterOpening::create);
}

void appendTamselFile(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamselFile(path, WriterOpening::append);
}

void createTamsel2File(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamsel2File(path, WriterOpening::create);
}

void appendTamsel2File(M_OutputBase &, const std::string &path) {
  resetOutputCounters();
  openTamsel2File(path, WriterOpening::append);
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
