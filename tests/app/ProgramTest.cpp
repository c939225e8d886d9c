// Runs of the built program over the fixture cases in tests/data: each case
// directory holds the command words (one a line), the environment, the files
// copied into the run's directory (and the FIFOs made there), and the
// expected standard output, standard error and exit code. "@DIR@" stands for
// the run's directory and "@INSTALL@" for the test installation.
//
// Files too large to keep are named in "generated", one a line: the path, the
// size in bytes and the bytes it begins with (the rest of the line); the file
// is those bytes, then "x" up to one byte short of the size, then a line end.
// Symbolic links are named in "links", one a line: the path and the target.
//
// Binary files are written as hex dumps (support/HexDump.h) in files named
// with ".hex" added: such a file of "files" is copied as its bytes, and each
// file of "expected-files" must be in the run's directory after the run with
// exactly its bytes. The files that must not be there after the run are named
// in "absent-files", one a line.
#include "support/HexDump.h"
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"
#include "support/TextLines.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <optional>
#include <set>
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

const std::string hexExtension = ".hex";

bool isHexDump(const fs::path &path) { return path.extension() == hexExtension; }

// The bytes that a fixture file stands for.
std::string fixtureBytes(const fs::path &path, const std::string &runDirectory) {
  const std::string text = readFile(path);
  return isHexDump(path) ? test_support::decodeHexDump(substitute(text, runDirectory)) : text;
}

// Where a fixture file goes in the run's directory: a hex dump without its
// extension.
fs::path runPath(const fs::path &root, const fs::path &fixture, const std::string &runDirectory) {
  fs::path relative = fs::relative(fixture, root);
  if (isHexDump(relative))
    relative.replace_extension();
  return fs::path(runDirectory) / relative;
}

void copyFixtureFiles(const fs::path &root, const std::string &runDirectory) {
  for (const fs::directory_entry &entry : fs::recursive_directory_iterator(root)) {
    const fs::path target = runPath(root, entry.path(), runDirectory);
    if (entry.is_directory())
      fs::create_directories(target);
    else
      std::ofstream(target, std::ios::binary) << fixtureBytes(entry.path(), runDirectory);
  }
}

void expectFiles(const fs::path &root, const std::string &runDirectory) {
  for (const fs::directory_entry &entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_directory())
      continue;
    const fs::path actual = runPath(root, entry.path(), runDirectory);
    SCOPED_TRACE(actual.string());
    ASSERT_TRUE(fs::exists(actual));
    EXPECT_EQ(test_support::hexLines(fixtureBytes(entry.path(), runDirectory)),
              test_support::hexLines(readFile(actual)));
  }
}

// A run of the program in the case's directory with the case's environment.
test_support::ProgramResult runInCase(const fs::path &caseDirectory, const ScratchDirectory &scratch,
                                      const std::vector<std::string> &arguments) {
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

test_support::ProgramResult runCase(const fs::path &caseDirectory, const ScratchDirectory &scratch) {
  if (fs::exists(caseDirectory / "files"))
    copyFixtureFiles(caseDirectory / "files", scratch.path());
  // FIFOs cannot be kept in the case's files: "fifos" names them, one a line.
  if (fs::exists(caseDirectory / "fifos")) {
    for (const std::string &name : lines(readFile(caseDirectory / "fifos"))) {
      fs::create_directories(fs::path(scratch / name).parent_path());
      EXPECT_EQ(0, mkfifo((scratch / name).c_str(), 0600)) << name;
    }
  }
  if (fs::exists(caseDirectory / "generated")) {
    for (const std::string &line : lines(readFile(caseDirectory / "generated"))) {
      std::istringstream fields(line);
      std::string name;
      std::size_t size = 0;
      fields >> name >> size;
      fields.get();
      std::string bytes(std::istreambuf_iterator<char>(fields), {});
      if (bytes.size() + 1 < size)
        bytes.append(size - 1 - bytes.size(), 'x');
      bytes += '\n';
      std::ofstream(scratch / name, std::ios::binary) << bytes;
    }
  }
  if (fs::exists(caseDirectory / "links")) {
    for (const std::string &line : lines(readFile(caseDirectory / "links"))) {
      const std::size_t blank = line.find(' ');
      fs::create_directories(fs::path(scratch / line.substr(0, blank)).parent_path());
      fs::create_symlink(line.substr(blank + 1), scratch / line.substr(0, blank));
    }
  }
  std::vector<std::string> arguments;
  for (const std::string &line : lines(readFile(caseDirectory / "command")))
    arguments.push_back(substitute(line, scratch.path()));
  return runInCase(caseDirectory, scratch, arguments);
}

// Every folder of the test data with a command file is a case: a case is
// added as a folder. They run in the order of their names.
std::vector<std::string> fixtureCases() {
  std::vector<std::string> names;
  for (const fs::directory_entry &entry : fs::directory_iterator(dataDirectory))
    if (fs::is_regular_file(entry.path() / "command"))
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class FixtureCase : public testing::TestWithParam<std::string> {};

TEST_P(FixtureCase, RunsAsItsFilesSay) {
  const fs::path caseDirectory = fs::path(dataDirectory) / GetParam();
  const ScratchDirectory scratch;
  const test_support::ProgramResult result = runCase(caseDirectory, scratch);
  ASSERT_FALSE(result.stopped) << "stopped after " << result.out.size() + result.err.size()
                               << " bytes of output";
  EXPECT_EQ(substitute(readFile(caseDirectory / "stdout"), scratch.path()), result.out);
  EXPECT_EQ(substitute(readFile(caseDirectory / "stderr"), scratch.path()), result.err);
  EXPECT_EQ(std::stoi(readFile(caseDirectory / "exit-code")), result.exitCode);
  if (fs::exists(caseDirectory / "expected-files"))
    expectFiles(caseDirectory / "expected-files", scratch.path());
  if (fs::exists(caseDirectory / "absent-files")) {
    for (const std::string &name : lines(readFile(caseDirectory / "absent-files"))) {
      EXPECT_FALSE(fs::exists(scratch / name)) << name;
    }
  }
}

// Test names allow letters, digits and underscores only.
std::string caseTestName(const testing::TestParamInfo<std::string> &info) {
  std::string name = info.param;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(ProgramTest, FixtureCase, testing::ValuesIn(fixtureCases()), caseTestName);

// Multi-file runs of the cases in unit-orders/, each in every order of its
// units. A case holds its "files", its "environment", its "units" (one a
// line), the words of a multi-file run in "command" (the line "@UNITS@"
// stands for the units, in one order) and of a single-file run in
// "single-command" (the line "@UNIT@" stands for one unit), the multi-file
// run's standard output in "findings", sorted, and each unit's single-file
// run's standard output in "single/<unit>". Every order prints the same
// findings, and every finding of a single-file run is among them.
const fs::path unitOrderDirectory = fs::path(dataDirectory) / "unit-orders";

std::vector<std::string> unitOrderCases() {
  std::vector<std::string> names;
  for (const fs::directory_entry &entry : fs::directory_iterator(unitOrderDirectory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The words of a command file with the placeholder line replaced by the units.
std::vector<std::string> commandWith(const fs::path &file, const std::string &placeholder,
                                     const std::vector<std::string> &units, const std::string &runDirectory) {
  std::vector<std::string> arguments;
  for (const std::string &line : lines(readFile(file))) {
    if (line == placeholder)
      arguments.insert(arguments.end(), units.begin(), units.end());
    else
      arguments.push_back(substitute(line, runDirectory));
  }
  return arguments;
}

class UnitOrderCase : public testing::TestWithParam<std::string> {};

TEST_P(UnitOrderCase, FindsTheSameInEveryOrderOfTheUnits) {
  const fs::path caseDirectory = unitOrderDirectory / GetParam();
  const ScratchDirectory scratch;
  copyFixtureFiles(caseDirectory / "files", scratch.path());
  std::vector<std::string> units = lines(readFile(caseDirectory / "units"));
  const std::vector<std::string> findings =
      lines(substitute(readFile(caseDirectory / "findings"), scratch.path()));
  ASSERT_TRUE(std::is_sorted(findings.begin(), findings.end()));
  std::sort(units.begin(), units.end());
  do {
    const test_support::ProgramResult result = runInCase(
        caseDirectory, scratch, commandWith(caseDirectory / "command", "@UNITS@", units, scratch.path()));
    const std::string order = test_support::quotedLines(units);
    EXPECT_EQ(0, result.exitCode) << order;
    EXPECT_EQ("", result.err) << order;
    std::vector<std::string> printed = lines(result.out);
    std::sort(printed.begin(), printed.end());
    EXPECT_EQ(findings, printed) << order;
  } while (std::next_permutation(units.begin(), units.end()));

  for (const std::string &unit : units) {
    const test_support::ProgramResult result =
        runInCase(caseDirectory, scratch,
                  commandWith(caseDirectory / "single-command", "@UNIT@", {unit}, scratch.path()));
    EXPECT_EQ(0, result.exitCode) << unit;
    EXPECT_EQ(substitute(readFile(caseDirectory / "single" / unit), scratch.path()), result.out) << unit;
    for (const std::string &line : lines(result.out))
      EXPECT_TRUE(std::binary_search(findings.begin(), findings.end(), line)) << unit << ": " << line;
  }
}

INSTANTIATE_TEST_SUITE_P(ProgramTest, UnitOrderCase, testing::ValuesIn(unitOrderCases()), caseTestName);

// The example of examples/ as scripts/demo runs it, on a copy: each check
// reports in the sources, a run appends to the error files that the primary
// analysis left, and lyrsa_errcount reads them back with what was appended.
TEST(ProgramTest, ExampleAnalysesReportEveryCheckAndAppendToTheErrorFiles) {
  const fs::path examples = fs::path(dataDirectory) / ".." / ".." / "examples";
  const ScratchDirectory scratch;
  fs::copy(examples / "analysis", fs::path(scratch.path()) / "analysis", fs::copy_options::recursive);
  auto environment = baseEnvironment(scratch.path());
  environment["LYRBIN"] = (examples / "installation").string();
  const auto run = [&](const std::string &program, const std::vector<std::string> &arguments) {
    return test_support::runProgram(program, arguments, test_support::environmentWith(environment),
                                    scratch.path(), test_support::RunBounds{1 << 20, 120});
  };
  const std::vector<std::string> singleFile{"lyr", "-op", "analysis", "analysis/main.c"};
  const std::vector<std::string> multiFile{
      "lyr", "-op", "analysis", "analysis/sensor.c", "analysis/main.c", "-cmaf", "analysis/sensors.cma"};
  // Each analysis as text: the message numbers that it reports.
  std::set<std::string> numbers;
  std::size_t findings[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    std::vector<std::string> words = i == 0 ? singleFile : multiFile;
    words.insert(words.begin() + 1, {"-debug", "simpleoutput"});
    const test_support::ProgramResult text = run(LYR_PROGRAM_PATH, words);
    ASSERT_EQ(0, text.exitCode) << text.err;
    EXPECT_EQ("", text.err);
    for (const std::string &line : lines(text.out)) {
      const std::size_t at = line.find(": Msg=");
      ASSERT_NE(std::string::npos, at) << line;
      numbers.insert(line.substr(at + 6, 4));
      ++findings[i];
    }
  }
  // Every rule of the example rule file, and every library and include check.
  std::vector<std::string> checks{"5013", "5087", "5119", "5120", "5122", "5123", "5124", "5127"};
  const std::string messageKey = "{\"message\":";
  for (const std::string &line : lines(readFile(examples / "installation" / "namerules.txt")))
    if (line.rfind("rule=" + messageKey, 0) == 0)
      checks.push_back(line.substr(5 + messageKey.size(), 4));
  EXPECT_EQ(18u, checks.size()) << "the rules of the example rule file";
  for (const std::string &number : checks)
    EXPECT_EQ(1u, numbers.count(number)) << number;

  const auto count = [&](const std::string &errorFile) {
    const test_support::ProgramResult result = run(LYR_ERRCOUNT_PATH, {"lyr", errorFile});
    EXPECT_EQ(0, result.exitCode) << result.out << result.err;
    return result.out;
  };
  const std::string mainErr = "analysis/main.c.err";
  const std::string original = readFile(fs::path(scratch.path()) / mainErr);
  EXPECT_EQ(mainErr + ": 2 messages, 0 suppression records\n", count(mainErr));
  ASSERT_EQ(0, run(LYR_PROGRAM_PATH, singleFile).exitCode);
  EXPECT_EQ(mainErr + ": " + std::to_string(2 + findings[0]) + " messages, 0 suppression records\n",
            count(mainErr));
  // Appended: what the primary analysis wrote is still there, byte for byte.
  EXPECT_EQ(original, readFile(fs::path(scratch.path()) / mainErr).substr(0, original.size()));
  // A multi-file run appends to the cross-module file's error file, made now.
  const std::string crossModuleErr = "analysis/sensors.cma.err";
  EXPECT_EQ(crossModuleErr + ": 0 messages, 0 suppression records (no file)\n", count(crossModuleErr));
  ASSERT_EQ(0, run(LYR_PROGRAM_PATH, multiFile).exitCode);
  EXPECT_EQ(crossModuleErr + ": " + std::to_string(findings[1]) + " messages, 0 suppression records\n",
            count(crossModuleErr));
  EXPECT_EQ("analysis/sensor.c.err: 3 messages, 0 suppression records\n", count("analysis/sensor.c.err"));
}

} // namespace
