// Test helper: runs of the built program that append to one error file. An
// analysed file (in a directory of its own below a scratch directory, or in
// the scratch directory itself) whose record file out/a.c.met defines many
// macros that break the naming rule, so that each run appends a long stretch
// (some 18 KiB: more than the first bytes that a journal keeps whole and one
// block after them). Every run of one input appends the same bytes (the
// trailers come from a generator that is never seeded), so the file after
// several runs is known exactly. Kills, pauses and failures in the middle of
// a write come from the write fault that the program takes from its
// environment in a build with the test hooks.
#pragma once

#include "support/FileLocks.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// A new error file of format 2 without records.
inline const std::string primaryErrorFile("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00", 13);

// Under a limit of this many blocks of the shell's "ulimit -f" (512 or 1024
// bytes), no run's stretch fits.
inline const char *const sizeLimitBlocks = "2";

// How a run is started.
struct Start {
  bool sizeLimited = false;                 // under the file-size limit
  std::string fault = {};                   // the write fault of the run
  std::vector<std::string> debugWords = {}; // more words of option "debug"
  std::string outputDirectory = "out";      // option "-op"
  std::string ruleFile = "rules.txt";       // option "-namerulefile"
  std::optional<unsigned> user = {};        // runs as this user and group (setpriv), without other groups
};

// Whether the process is stopped (state T in /proc/<pid>/stat), as a process
// that paused itself for a test is.
inline bool stopped(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const std::size_t end = line.rfind(')');
  return end != std::string::npos && end + 2 < line.size() && line[end + 2] == 'T';
}

class ErrorFileRuns {
public:
  static constexpr int findings = 400;

  // The analysed file is <sourceDirectory>/a.c below the scratch directory
  // (a.c in it, for an empty one); a long directory name makes the path of
  // the source, which the error file records, long.
  explicit ErrorFileRuns(std::string sourceDirectory = "") : m_sourceDirectory(std::move(sourceDirectory)) {
    if (!m_sourceDirectory.empty())
      m_dir.makeDirectory(m_sourceDirectory);
    m_dir.writeFile(sourceFile());
    m_dir.writeFile("rules.txt", ruleText(5001));
    m_dir.makeDirectory("out");
    m_dir.writeFile("out/a.c.met", records());
  }

  // The analysed file, relative to the scratch directory.
  std::string sourceFile() const { return m_sourceDirectory.empty() ? "a.c" : m_sourceDirectory + "/a.c"; }

  // A rule file whose one rule reports a macro name with lower case letters
  // as the message of that number.
  static std::string ruleText(int message) {
    return "rule={'message':" + std::to_string(message) + ",'space':'macro','pattern':'^[A-Z0-9_]+$'}\n";
  }

  // The record file of the analysed file: one macro a line, none of them
  // with a name that the rule allows.
  std::string records() const {
    std::string text;
    for (int i = 0; i < findings; ++i)
      text += "<DEFINE> m" + std::to_string(i) + " " + sourceFile() + " " + std::to_string(i + 1) +
              " N DF OM - - - O\n";
    return text;
  }

  std::string errorFile() const { return m_dir / "out/a.c.err"; }
  std::string journal() const { return m_dir / "out/.a.c.err.lyrsa-journal"; }

  // What a run of the program on the analysed file runs: the program, its
  // words and its environment, in the scratch directory.
  struct Command {
    std::string program;
    std::vector<std::string> words;
    std::vector<std::string> environment;
  };
  Command command(const Start &how = {}) const {
    std::vector<std::string> words{"lyr",        "-debug", "null_metric_output", "-namerulefile",
                                   how.ruleFile, "-op",    how.outputDirectory,  sourceFile()};
    for (const std::string &word : how.debugWords)
      words.insert(words.begin() + 1, {"-debug", word});
    std::string program = m_program;
    if (how.sizeLimited) {
      words.insert(words.begin(),
                   {"-c", std::string("ulimit -f ") + sizeLimitBlocks + " && exec \"$0\" \"$@\"", program});
      program = "/bin/sh";
    }
    if (how.user) {
      const std::string id = std::to_string(*how.user);
      words.insert(words.begin(), {"--reuid=" + id, "--regid=" + id, "--clear-groups", program});
      program = "/usr/bin/setpriv";
    }
    std::map<std::string, std::optional<std::string>> environment{
        {"LYRBIN", m_installation},
        {"HOME", m_dir.path()},
        {"LANG", "C"},
        {"LYROUTPATH", std::nullopt},
        {"LYRRCPATH", std::nullopt},
        {"LYRSA_VOKT_TEST_WRITE_FAULT", std::nullopt}};
    if (!how.fault.empty())
      environment["LYRSA_VOKT_TEST_WRITE_FAULT"] = how.fault;
    return {program, words, environmentWith(environment)};
  }

  // A run of the program on the analysed file.
  std::unique_ptr<RunningProgram> start(const Start &how = {}) const {
    const Command run = command(how);
    return std::make_unique<RunningProgram>(run.program, run.words, run.environment, m_dir.path());
  }

  static ProgramResult finish(RunningProgram &program) { return program.finish({1 << 20, 120}); }

  // A run from its start to its end.
  ProgramResult run(const Start &how = {}) const { return finish(*start(how)); }

  // What one run alone appends to the file as it is now (the file is put
  // back afterwards): the bytes after the old ones, or, for a missing file,
  // those after the header that it makes.
  std::string stretchOfOneRun(const Start &how = {}) {
    namespace fs = std::filesystem;
    const bool existed = fs::exists(errorFile());
    const std::string before = existed ? readFile(errorFile()) : "";
    const ProgramResult result = run(how);
    EXPECT_EQ(0, result.exitCode) << result.err;
    const std::string after = readFile(errorFile());
    if (existed)
      m_dir.writeFile("out/a.c.err", before);
    else
      fs::remove(errorFile());
    return after.substr(existed ? before.size() : 8);
  }

  // What lyrsa_errcount says of the error file; a file that does not read
  // back makes its exit code 1.
  std::string count(int exitCode = 0) const {
    const ProgramResult result =
        runProgram(LYR_ERRCOUNT_PATH, {"lyr", "out/a.c.err"},
                   environmentWith({{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"}}),
                   m_dir.path(), {1 << 20, 120});
    EXPECT_EQ(exitCode, result.exitCode) << result.out << result.err;
    return result.out;
  }

  // Runs the program, from now on, from a copy of it and of the installation
  // in the scratch directory, which every user may read and enter: runs as
  // another user (Start::user) then reach them wherever the build lies (a
  // home directory that only root may enter, say). False when they cannot
  // be copied.
  bool runCopiesForOtherUsers() {
    namespace fs = std::filesystem;
    std::error_code failed;
    const std::string copies = m_dir.makeDirectory("copies");
    fs::copy_file(LYR_PROGRAM_PATH, copies + "/lyrsa_vokt", failed);
    if (!failed)
      fs::copy(std::string(LYR_TEST_DATA_DIR) + "/installation", copies + "/installation",
               fs::copy_options::recursive, failed);
    if (failed)
      return false;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(copies))
      fs::permissions(entry.path(), entry.is_directory() ? fs::perms(0755) : fs::perms(0644), failed);
    fs::permissions(copies + "/lyrsa_vokt", fs::perms(0755), failed);
    fs::permissions(copies, fs::perms(0755), failed);
    fs::permissions(m_dir.path(), fs::perms(0755), failed);
    if (failed)
      return false;
    m_program = copies + "/lyrsa_vokt";
    m_installation = copies + "/installation";
    return true;
  }
  const std::string &program() const { return m_program; }
  const std::string &installation() const { return m_installation; }

  // The line of a run that waited about a second for the lock.
  std::string waitLine() const {
    return "Waiting for the lock on error file '" + errorFile() + "', which another process holds.\n";
  }

  // Starts the runs while the test holds the lock of the existing error file,
  // and lets them have their turns once each of them waits for it and has
  // said so.
  std::vector<std::unique_ptr<RunningProgram>> startWaiting(const std::vector<Start> &runs) const {
    HeldLock held(errorFile());
    std::vector<std::unique_ptr<RunningProgram>> started;
    for (const Start &how : runs)
      started.push_back(start(how));
    EXPECT_TRUE(allWaitAndSaySo(started)) << "runs that do not wait for their turn, or do not say so";
    return started;
  }

  // Whether each of the runs waits for a lock and, once it has waited about a
  // second, says so on standard error, before long.
  bool allWaitAndSaySo(const std::vector<std::unique_ptr<RunningProgram>> &runs) const {
    const bool waiting = eventually([&] {
      for (const auto &run : runs)
        if (!waitsForLock(run->pid()))
          return false;
      return true;
    });
    return waiting && std::all_of(runs.begin(), runs.end(),
                                  [&](const auto &run) { return run->waitUntilErrorHolds(waitLine()); });
  }

  // The names in a directory below the scratch directory (the output
  // directory by default): no journal or temporary file stays behind.
  std::set<std::string> outputFiles(const std::string &directory = "out") const {
    std::set<std::string> names;
    for (const std::filesystem::directory_entry &entry :
         std::filesystem::directory_iterator(m_dir / directory))
      names.insert(entry.path().filename().string());
    return names;
  }

  // The scratch directory that holds everything of the runs.
  ScratchDirectory m_dir;

private:
  std::string m_sourceDirectory;
  std::string m_program = LYR_PROGRAM_PATH;
  std::string m_installation = std::string(LYR_TEST_DATA_DIR) + "/installation";
};

} // namespace test_support
