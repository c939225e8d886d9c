// Test helper: what runs of the built program on one error file say and
// leave, for the tests of its journal and of runs that share its output
// directory: the lines of their warnings and errors, the output directory as
// a run finds it, and runs killed part way or expected to append silently.
#pragma once

#include "support/ErrorFileRuns.h"
#include "support/ProgramRun.h"

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>

namespace test_support::journal_runs {

inline const std::string &primary = test_support::primaryErrorFile;

// A write killed in its middle stops on a boundary of this many bytes of the
// file; the journal keeps the bytes up to the second boundary after the
// append point whole, and a hash of each such block after them.
inline constexpr std::uint64_t page = 4096;

inline const std::set<std::string> cleanOutput{"a.c.err", "a.c.met"};

inline std::string number(std::uint64_t value) { return std::to_string(value); }

inline std::string cutShortLine(const std::string &file, std::uint64_t from, std::uint64_t to) {
  return "Warning - Error file '" + file +
         "' was cut short by a run that ended while writing it; it is put back from " + number(from) +
         " to its " + number(to) + " bytes.\n";
}

inline std::string wholeAppendLine(const std::string &file, std::uint64_t from, std::uint64_t to) {
  return "Warning - Error file '" + file +
         "' holds all that a run which did not finish wrote to it; it is put back from " + number(from) +
         " to its " + number(to) + " bytes.\n";
}

inline std::string leftAloneLine(const ErrorFileRuns &runs, const std::string &why) {
  return "Warning - Error file '" + runs.errorFile() + "' is not what its journal '" + runs.journal() +
         "' covers (" + why + "); the file is left as it is and the journal removed.\n";
}

inline std::string notAddingLine(const std::string &file) {
  return "Warning - Not adding to error file '" + file +
         "', which cannot be read back; diagnostics go to standard output.\n";
}

inline std::string notAddingLine(const ErrorFileRuns &runs) { return notAddingLine(runs.errorFile()); }

inline std::string untrustedLine(const ErrorFileRuns &runs, const std::string &why, bool removed) {
  return "Warning - The journal '" + runs.journal() + "' of error file '" + runs.errorFile() +
         "' was not written by a run on that file (" + why + "); " +
         (removed ? "it is removed and the file is left as it is.\n" : "the file is left as it is.\n");
}

inline std::string unreadableJournalLine(const ErrorFileRuns &runs) {
  return "Warning - The journal '" + runs.journal() + "' of error file '" + runs.errorFile() +
         "' cannot be read; it is removed and the file is left as it is.\n";
}

inline std::string cannotRemoveLine(const ErrorFileRuns &runs, const std::string &reason) {
  return "Cannot remove journal '" + runs.journal() + "' of error file '" + runs.errorFile() + "' (" +
         reason + "); the file is left as it is, and no run adds to it while the journal is there.\n";
}

inline std::string caughtLines(const std::string &signal) {
  return "Caught signal: (" + signal + ")\nPlease contact Vennacore.\n";
}

// What lyrsa_errcount says of an error file that reads back with the
// findings of so many runs.
inline std::string countLine(int runs) {
  return "out/a.c.err: " + number(runs * ErrorFileRuns::findings) + " messages, 0 suppression records\n";
}

// The output directory as a run finds it: the record file, and the error file
// with these bytes when there are any.
inline void leaveOutput(const ErrorFileRuns &runs, const std::optional<std::string> &errorFile) {
  for (const std::filesystem::directory_entry &entry :
       std::filesystem::directory_iterator(runs.m_dir / "out"))
    if (entry.path().filename() != "a.c.met")
      std::filesystem::remove_all(entry.path());
  if (errorFile)
    runs.m_dir.writeFile("out/a.c.err", *errorFile);
}

// A run killed once so many bytes of its append reached the file.
inline void killAfter(const ErrorFileRuns &runs, std::uint64_t reached) {
  const ProgramResult killed = runs.run({false, "stop-after=" + number(reached)});
  EXPECT_EQ(SIGKILL, killed.termSignal) << killed.err;
}

// Whether the run ends well, says nothing and appends to the file.
inline void expectSilentAppend(const ErrorFileRuns &runs, const std::string &stretch) {
  const std::string before = readFile(runs.errorFile());
  const ProgramResult result = runs.run();
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("", result.err);
  EXPECT_TRUE(readFile(runs.errorFile()) == before + stretch) << "the run did not append its stretch";
}

} // namespace test_support::journal_runs
