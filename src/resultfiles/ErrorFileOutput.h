// The outputs that append the diagnostics of a run to the error file of the
// analysed file: M_OutputTamsel writes format 1 (output kind 2),
// M_OutputTamsel2 format 2 (output kind 3, the default). A missing file is
// created in the format of the kind asked for; an existing one is appended to
// in its own format, whichever kind was asked for.
//
// An error file is never left damaged: when a write or the closing fails, the
// file is put back as it was before it was opened (a file that the opening
// created is removed), and M_BadFileOpenException names the file. What a run
// adds reaches the file as a whole when the output closes (R_Writer).
//
// The output of a run holds back: the run reads the error file of the
// analysed file back before it adds to it, so the output touches the file only
// once the reading has had its turn, and never adds to a file that could not
// be read back. From the reading back to the closing the file is held under
// its lock (platform::LockedFile): runs on one error file take turns, none
// adds to the file between another's reading and adding, and a run that puts
// the file back cannot take away what another added.
#pragma once

#include "messages/Output.h"

#include <memory>
#include <string>

class R_Writer;

// Drops diagnostics located in quiet files; writes a current-file record when
// the file changes and a message record for each diagnostic. No suppression
// records.
class M_OutputTamsel : public M_OutputBase {
public:
  void close() override;
  void discard() override;
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) override;
};

// Drops diagnostics located in quiet files and, while option "nogen" (read at
// the first send of the process) is on, those whose number options "only" and
// "nomsg" do not want. Writes a message record for each diagnostic while the
// output kind is 3, and a suppression record for each record.
class M_OutputTamsel2 : public M_OutputBase {
public:
  void close() override;
  void discard() override;
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override;
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) override;
};

// The writer of the format-1 file and that of the format-2 file; null while
// none was opened. A writer whose opening or writing failed stays, not open,
// until its output is closed: every later write fails.
std::unique_ptr<R_Writer> &M_tamselStream();
std::unique_ptr<R_Writer> &M_tamsel2Writer();

// Opens the error file of the source file in the output directory and
// installs its output. A missing file is created in format 1 (kind 2) or
// format 2 (kind 3); an existing file of version 0x7900 is appended to in
// format 1, one of 0x8200, 0x9100, 0x9200 or 0x9300 in format 2, and the
// output kind becomes that of the output installed. Throws
// M_BadFileOpenException when the file cannot be probed or opened (also when
// it is not a regular file), M_BadTextReadException when it is shorter than
// 4 bytes, M_BadVersionForAppendException for any other version.
void openErrorFileForOutput(const std::string &sourceFile, const std::string &outputDirectory, int kind);

// As openErrorFileForOutput, except that the output holds back: the file is
// probed and the output installed now (an empty file is taken as a missing
// one, which another run may have made and not yet written; one too short for
// its version word as one that cannot be read back), but the file is neither
// created nor opened, and what the output is given is kept in order, until
// M_releaseErrorFileOutput, M_refuseErrorFileOutput or the output's closing.
// A file whose lock another process holds is waited for; after about a
// second of waiting, one line on standard error says so. A file that a run
// left cut short when it died while appending to it is put back first, with
// a line on standard error (M_FilePutBackException when it cannot be).
void openHeldErrorFileOutput(const std::string &sourceFile, const std::string &outputDirectory, int kind);
// The run is about to read the error file at the path back: an output holding
// back for that file takes the file's lock now (waiting for another run's
// turn to end), when the file exists. Nothing for another file or when no
// output holds back.
void M_lockErrorFileOutput(const std::string &errorFilePath);
// The run has read the error file at the path back, or passed over it: an
// output holding back for that file locks it, opens it to append to it, and
// is given what it was given before and all that follows. A file to append to
// that does not read back whole (checked here, unless the run has just read
// it whole under its lock: readWhole) is left as M_refuseErrorFileOutput
// leaves it. A missing file is made when the output closes; the output goes
// on holding back until then. The closing of a held output releases it the
// same way, making a missing file. An existing file found in the other format
// (made by another run since the probe) is appended to in its format, by an
// output of that format installed in place of this one. Nothing for another
// file or when no output holds back.
void M_releaseErrorFileOutput(const std::string &errorFilePath, bool readWhole = false);
// The error file at the path could not be read back. An output holding back to
// append to that file leaves it as it is: it gives its place to the simple
// text output, which gets what was held back and all that follows, and a
// warning on standard error names the file. An output holding back for a file
// that is missing is released as above. Nothing for another file or when no
// output holds back.
void M_refuseErrorFileOutput(const std::string &errorFilePath);
// Whether the output installed holds back until the run has read its file
// back.
bool M_errorFileOutputHolds();
// Whether an output holds back for the error file at the path: a file that
// it cannot read back is then left alone with a warning of the output's own.
bool M_errorFileOutputHoldsFor(const std::string &errorFilePath);

// The factories: each closes and removes the output installed before, sets
// the output kind (2 for format 1, 3 for format 2), installs its output and
// then opens the file at the path (in the internal encoding): anew with the
// header, or for appending. When the opening fails the new output stays
// installed without a file, and M_BadFileOpenException is thrown.
void openNewTamselOutput(const std::string &path);
void openAppendTamselOutput(const std::string &path);
void openNewTamsel2Output(const std::string &path);
void openAppendTamsel2Output(const std::string &path);
// The same for the error file of the source file in the output directory of
// the current arguments.
void openNewTamselOutputForSource(const std::string &sourceFile);
void openAppendTamselOutputForSource(const std::string &sourceFile);
void openNewTamsel2OutputForSource(const std::string &sourceFile);
void openAppendTamsel2OutputForSource(const std::string &sourceFile);

// The file openers of the factories: they reset the output counters and open
// the process-wide writer of their format on the path, with the header when
// they create the file; a format-2 opening then writes its opening record.
// The output passed plays no part.
void createTamselFile(M_OutputBase &output, const std::string &path);
void appendTamselFile(M_OutputBase &output, const std::string &path);
void createTamsel2File(M_OutputBase &output, const std::string &path);
void appendTamsel2File(M_OutputBase &output, const std::string &path);
// The same for the error file of the source file in the directory given, or
// in the output directory of the current arguments.
void createTamselFileForSource(M_OutputBase &output, const std::string &sourceFile);
void createTamselFileForSource(M_OutputBase &output, const std::string &sourceFile,
                               const std::string &outputDirectory);
void appendTamselFileForSource(M_OutputBase &output, const std::string &sourceFile);
void appendTamselFileForSource(M_OutputBase &output, const std::string &sourceFile,
                               const std::string &outputDirectory);
void createTamsel2FileForSource(M_OutputBase &output, const std::string &sourceFile);
void appendTamsel2FileForSource(M_OutputBase &output, const std::string &sourceFile);
void appendTamsel2FileForSource(M_OutputBase &output, const std::string &sourceFile,
                                const std::string &outputDirectory);
