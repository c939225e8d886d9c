// Runs of the built program over the fixture cases in tests/data: each case
// directory holds the command words (one a line), the environment, the files
// copied into the run's directory (and the FIFOs made there), and the
// expected standard output, standard error and exit code. "@DIR@" stands for
// the run's directory and "@INSTALL@" for the test installation.
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"
#include "support/TextLines.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using test_support::lines;
using test_support::ScratchDirectory;

const std::string dataDirectory = LYR_TEST_DATA_DIR;

std::string readFile(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string substitute(std::string text, const std::string &runDirectory) {
  const std::pair<std::string, std::string> placeholders[] = {{"@DIR@", runDirectory},
                                                              {"@INSTALL@", dataDirectory + "/installation"}};
  for (const auto &[placeholder, value] : placeholders) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
      text.replace(at, placeholder.size(), value);
  }
  return text;
}

// The environment of a run: nothing of a product installation or of the
// user's rc files leaks in from the test's own environment.
std::map<std::string, std::optional<std::string>> baseEnvironment(const std::string &runDirectory) {
  std::map<std::string, std::optional<std::string>> changes{{"HOME", runDirectory}};
  for (const char *product : {"LYR", "LYRPP", "KEF", "DUV"})
    for (const char *suffix : {"BIN", "OUTPATH", "RCPATH", "TEMPFILES"})
      changes[std::string(product) + suffix] = std::nullopt;
  return changes;
}

test_support::ProgramResult runCase(const fs::path &caseDirectory, const ScratchDirectory &scratch) {
  if (fs::exists(caseDirectory / "files"))
    fs::copy(caseDirectory / "files", scratch.path(), fs::copy_options::recursive);
  // FIFOs cannot be kept in the case's files: "fifos" names them, one a line.
  if (fs::exists(caseDirectory / "fifos")) {
    for (const std::string &name : lines(readFile(caseDirectory / "fifos"))) {
      fs::create_directories(fs::path(scratch / name).parent_path());
      EXPECT_EQ(0, mkfifo((scratch / name).c_str(), 0600)) << name;
    }
  }
  std::vector<std::string> arguments;
  for (const std::string &line : lines(readFile(caseDirectory / "command")))
    arguments.push_back(substitute(line, scratch.path()));
  auto environment = baseEnvironment(scratch.path());
  if (fs::exists(caseDirectory / "environment")) {
    for (const std::string &line :
         lines(substitute(readFile(caseDirectory / "environment"), scratch.path()))) {
      const std::size_t equals = line.find('=');
      environment[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  // A run that writes without end or never ends is stopped; no case comes
  // near these bounds.
  const test_support::RunBounds bounds{1 << 20, 120};
  return test_support::runProgram(LYR_PROGRAM_PATH, arguments, test_support::environmentWith(environment),
                                  scratch.path(), bounds);
}

TEST(ProgramTest, FixtureCases) {
  const char *const cases[] = {
      "version-without-product",
      "version-after-product",
      "version-option",
      "help",
      "help-product-with-path-and-extension",
      "no-product",
      "invalid-product",
      "installation-unset",
      "installation-empty",
      "single-file-two-inputs",
      "single-file-no-input",
      "multi-file-no-input",
      "multi-file-empty-name",
      "same-input-named-three-ways",
      "missing-main-record-file",
      "missing-main-record-file-error-file-not-read",
      "missing-record-file-in-output-directory",
      "multi-file-output-directories",
      "missing-error-files",
      "settings-file-cannot-be-opened",
      "settings-file-cannot-be-opened-is-an-error",
      "settings-file-names-the-input",
      "rc-file-and-command-line",
      "unknown-option-is-an-error",
      "temporary-directory-unusable",
      "report-1540-dropped-by-nomsg",
      "report-1540-dropped-by-only",
      "report-1540-kept-by-only",
      "report-1540-in-the-named-file-is-shown",
      "report-1540-format-output",
      "report-1540-in-the-cross-module-file-is-shown",
      "nul-byte-in-a-line",
      "settings-file-names-itself-twice",
      "fifo-in-place-of-files",
      "file-name-not-valid-in-the-encoding",
  };
  for (const char *name : cases) {
    SCOPED_TRACE(name);
    const fs::path caseDirectory = fs::path(dataDirectory) / name;
    const ScratchDirectory scratch;
    const test_support::ProgramResult result = runCase(caseDirectory, scratch);
    if (result.stopped) {
      ADD_FAILURE() << "stopped after " << result.out.size() + result.err.size() << " bytes of output";
      continue;
    }
    EXPECT_EQ(substitute(readFile(caseDirectory / "stdout"), scratch.path()), result.out);
    EXPECT_EQ(substitute(readFile(caseDirectory / "stderr"), scratch.path()), result.err);
    EXPECT_EQ(std::stoi(readFile(caseDirectory / "exit-code")), result.exitCode);
  }
}

} // namespace
