// The analysis driver: input files collected from the words that are not
// options, the analysis mode, the list of input files with the main file of
// the run, the per-file loop and the report of files that cannot be opened.
#include "app/Driver.h"
#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "anlsrslt/readers/Source.h"
#include "checks/SourceRescanExit.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "cmdline/Options.h"
#include "foundation/Exception.h"
#include "foundation/IncludeSiteMap.h"
#include "foundation/Language.h"
#include "foundation/NamedFiles.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "messages/OutputSelection.h"
#include "platform/BinaryFile.h"
#include "platform/WriteFault.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/MetricOutput.h"
#include "resultfiles/MetricSink.h"
#include "support/ListenerListsReset.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using test_support::readFile;
using test_support::ScratchDirectory;

// One call of the per-file step, and whether the record that the recording
// driver writes through the metric output was in the metric file after it.
struct FileStep {
  int index;
  std::size_t total;
  std::string file;
  std::string outputDir;
  bool metricRecordOnDisk = false;
  friend bool operator==(const FileStep &, const FileStep &) = default;
};

std::ostream &operator<<(std::ostream &out, const FileStep &step) {
  return out << step.index << "/" << step.total << " " << step.file << " in " << step.outputDir
             << (step.metricRecordOnDisk ? " with" : " without") << " the metric record on disk";
}

std::string canonicalText(const QL_Filename &file) { return file.canonical().str(); }

// The record written through the metric output in the first step.
const std::string metricRecord = "<MSG> written early\n";

// A module without checks: the drivers here walk input files whose sources
// are not there to be re-read.
void initNoChecks(U_RefPtr<C_CmdArgs> &, P_AnalysisMode &) {}

class RecordingDriver : public P_Driver {
public:
  // With a metric file, the first step writes a record through the metric
  // output and every step notes whether the record has reached that file.
  explicit RecordingDriver(std::string metricFile = "")
      : P_Driver("", initNoChecks), m_metricFile(std::move(metricFile)) {}
  void analyseFile(SymbolTable &symbols, int index, const std::vector<InputFileRecord> &files,
                   std::size_t position) override {
    steps.push_back({index, files.size(), canonicalText(files[position].file), files[position].outputDir});
    if (m_metricFile.empty()) {
      P_Driver::analyseFile(symbols, index, files, position);
      return;
    }
    if (position == 0)
      M_currentMetricOutput()->writeMessage("written", "early");
    // Noted also when the step ends by a result file that cannot be opened.
    struct NoteRecord {
      FileStep &step;
      const std::string &file;
      ~NoteRecord() { step.metricRecordOnDisk = readFile(file).find(metricRecord) != std::string::npos; }
    } noteRecord{steps.back(), m_metricFile};
    P_Driver::analyseFile(symbols, index, files, position);
  }
  std::vector<FileStep> steps;

private:
  std::string m_metricFile;
};

class DriverTest : public testing::Test {
protected:
  void SetUp() override { m_args = new C_CmdArgs("lyr", 0, nullptr); }

  // Parses the words of a command line after the product word, handing the
  // words that are not options to the handler.
  void parse(C_OrphanHandler &handler, const std::vector<std::string> &words) {
    std::vector<const char *> argv;
    for (const std::string &word : words)
      argv.push_back(word.c_str());
    m_args = new C_CmdArgs("lyr", static_cast<int>(argv.size()), argv.data());
    m_args->parseSources(handler);
  }

  ScratchDirectory m_scratch;
  test_support::EnvironmentVariable m_bin{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"};
  test_support::EnvironmentVariable m_outPath{"LYROUTPATH", std::nullopt};
  test_support::EnvironmentVariable m_home{"HOME", m_scratch.path()};
  test_support::EnvironmentVariable m_rcPath{"LYRRCPATH", std::nullopt};
  U_RefPtr<C_CmdArgs> m_args;
};

TEST_F(DriverTest, InputFilesAreDistinctByCanonicalNameInTheOrderFirstMetWithTheirOutputDirectory) {
  const std::string a = m_scratch / "a.c";
  const std::string b = m_scratch / "b.c";
  m_scratch.makeDirectory("x");
  C_OrphanFileHandler handler;
  EXPECT_TRUE(handler.isEmpty());
  parse(handler, {"-op", m_scratch / "out1", a, "-op", m_scratch / "out2", b, m_scratch / "./a.c",
                  m_scratch / "x/../b.c"});
  ASSERT_EQ(2u, handler.count());
  EXPECT_FALSE(handler.isEmpty());
  EXPECT_EQ(a, canonicalText(handler.firstSeen()[0]->first));
  EXPECT_EQ(m_scratch / "out1", handler.firstSeen()[0]->second);
  EXPECT_EQ(b, canonicalText(handler.firstSeen()[1]->first));
  EXPECT_EQ(m_scratch / "out2", handler.firstSeen()[1]->second);
  EXPECT_TRUE(isNamedFile(QL_Filename::fromPath(a)));
  EXPECT_TRUE(isNamedFile(QL_Filename::fromPath(b)));
}

TEST_F(DriverTest, OutputDirectoryWithoutOptionIsTheEnvironmentsOrTheCurrentOne) {
  struct Case {
    std::optional<std::string> outPath;
    std::string expected;
  };
  const test_support::CurrentDirectory current(m_scratch.path());
  const Case cases[] = {{std::nullopt, m_scratch.path()}, {m_scratch / "env", m_scratch / "env"}};
  for (const Case &c : cases) {
    m_outPath.set(c.outPath);
    C_OrphanFileHandler handler;
    handler.handle(*m_args, "a.c");
    ASSERT_EQ(1u, handler.count());
    EXPECT_EQ(c.expected, handler.firstSeen()[0]->second);
  }
}

TEST_F(DriverTest, AnalysisModeFollowsTheCrossModuleFileAndTheNumberOfInputFiles) {
  struct Case {
    std::vector<std::string> words;
    std::optional<P_AnalysisMode> mode;
    std::string error;
  };
  const std::string single = "ERROR: Single file analysis must have exactly one input file.\n\n";
  const Case cases[] = {
      {{}, std::nullopt, single},
      {{"a.c"}, eamSingleFile, ""},
      {{"a.c", "./a.c"}, eamSingleFile, ""},
      {{"a.c", "b.c"}, std::nullopt, single},
      {{"-cmaf", "m.cma"}, std::nullopt, "ERROR: Multi file analysis requires at least one input file.\n\n"},
      {{"-cmaf="}, std::nullopt, "ERROR: Multi file analysis requires at least one input file.\n\n"},
      {{"-cmaf=", "a.c"}, std::nullopt, "ERROR: CrossModuleAnalysisFile (cmaf) must specify a filename\n\n"},
      {{"-cmaf", "m.cma", "a.c"}, eamMultiFile, ""},
      {{"a.c", "b.c", "-cmaf", "m.cma"}, eamMultiFile, ""},
  };
  const test_support::CurrentDirectory current(m_scratch.path());
  for (const Case &c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.words));
    RecordingDriver driver;
    C_OrphanFileHandler handler;
    parse(handler, c.words);
    if (c.mode) {
      EXPECT_EQ(*c.mode, driver.analysisMode(m_args, handler));
      continue;
    }
    try {
      driver.analysisMode(m_args, handler);
      ADD_FAILURE() << "no configuration error";
    } catch (const C_ConfigurationException &error) {
      EXPECT_EQ(c.error, error.what());
      EXPECT_FALSE(error.hasExitCode());
    }
  }
}

TEST_F(DriverTest, RunWalksTheInputFilesThenTheCrossModuleFileAndReportsFilesThatCannotBeOpened) {
  struct Case {
    const char *name;
    std::vector<std::string> words;
    std::vector<std::string> recordFiles;
    std::vector<FileStep> steps;
    std::string mainFile;
    std::string outputDirectory;
    std::string out;
  };
  const std::string d = m_scratch.path();
  const Case cases[] = {
      {"single file beside its record file",
       {"-op", d, d + "/a.c"},
       {"a.c.met"},
       {{1, 1, d + "/a.c", d}},
       d + "/a.c",
       d,
       ""},
      {"single file whose record file is missing beside it",
       {"-op", d, d + "/a.c"},
       {},
       {{1, 1, d + "/a.c", d}},
       d + "/a.c",
       d,
       ""},
      {"single file whose record file is missing in another directory",
       {"-op", d + "/out", d + "/a.c"},
       {"a.c.met"},
       {{1, 1, d + "/a.c", d + "/out"}},
       d + "/a.c",
       d + "/out",
       d + "/a.c:1: Msg=1540 #params=1 {" + d + "/out/a.c.met}\n"},
      {"multi-file run",
       {"-op", d + "/out1", d + "/a.c", "-op", d + "/out2", d + "/b.c", "-cmaf", d + "/m.cma"},
       {"out1/a.c.met", "m.cma.met"},
       {{1, 3, d + "/a.c", d + "/out1"}, {2, 3, d + "/b.c", d + "/out2"}, {3, 3, d + "/m.cma", d}},
       d + "/m.cma",
       d,
       d + "/m.cma:1: Msg=1540 #params=1 {" + d + "/out2/b.c.met}\n"},
      {"cross-module file also named as an input file",
       {"-op", d, d + "/a.c", d + "/m.cma", "-cmaf", d + "/m.cma"},
       {"a.c.met", "m.cma.met"},
       {{1, 3, d + "/a.c", d}, {2, 3, d + "/m.cma", d}, {3, 3, d + "/m.cma", d}},
       d + "/m.cma",
       d,
       ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(d);
    m_scratch.makeDirectory("out1");
    for (const std::string &file : c.recordFiles)
      m_scratch.writeFile(file);
    U_RefPtr<RecordingDriver> driver = new RecordingDriver;
    // The reports go to standard output, not into the error files.
    std::vector<std::string> words{"-debug", "simpleoutput"};
    words.insert(words.end(), c.words.begin(), c.words.end());
    parse(driver->orphanHandler(), words);
    driver->setCmdArgs(m_args);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, driver->run());
    EXPECT_EQ(c.out, testing::internal::GetCapturedStdout());
    EXPECT_EQ(c.steps, driver->steps);
    EXPECT_EQ(c.mainFile, canonicalText(P_currentFilenames()));
    EXPECT_EQ(c.outputDirectory, P_outputDirectory());
    // The run closes the metric output, and the message output, when it
    // ends.
    EXPECT_EQ(nullptr, M_metricStream());
    EXPECT_EQ(nullptr, M_currentOutput());
    driver.clear();
  }
}

// A run appends its report to the error file of the main file and closes it
// when it ends. When the file cannot be written whole, or not closed, the run
// fails with the error that names the file, and the file is as it was.
TEST_F(DriverTest, RunThatCannotFinishTheErrorFileFailsAndLeavesItAsItWas) {
  const std::string d = m_scratch.path();
  const std::string before = std::string("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00", 13);
  struct Case {
    const char *name;
    std::optional<platform::WriteFault> fault;
    const char *reason; // of the failure
  };
  const Case cases[] = {
      {"written whole", std::nullopt, ""},
      {"disk full", platform::WriteFault{20, false}, "No space left on device"},
      {"close fails", platform::WriteFault{UINT64_MAX, true}, "Input/output error"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    m_scratch.makeDirectory("out");
    const std::string errorFile = m_scratch.writeFile("out/a.c.err", before);
    U_RefPtr<RecordingDriver> driver = new RecordingDriver;
    // The record file is missing in the output directory: one report. (The
    // metric output, discarded, neither makes the record file nor opens a
    // file under the fault.)
    parse(driver->orphanHandler(), {"-debug", "null_metric_output", "-op", d + "/out", d + "/a.c"});
    driver->setCmdArgs(m_args);
    platform::setWriteFault(c.fault);
    if (!c.fault) {
      EXPECT_EQ(0, driver->run());
      EXPECT_GT(test_support::readFile(errorFile).size(), before.size() + 1);
    } else {
      try {
        driver->run();
        ADD_FAILURE() << "the run succeeded";
      } catch (const M_BadFileOpenException &error) {
        EXPECT_EQ("Cannot write error file '" + errorFile + "' (" + c.reason + ").",
                  std::string(error.what()));
      }
      EXPECT_EQ(before, test_support::readFile(errorFile));
    }
    platform::setWriteFault(std::nullopt);
    driver.clear();
    if (c.fault) {
      EXPECT_EQ(before, test_support::readFile(errorFile)) << "nothing more when the driver goes";
    }
  }
}

TEST_F(DriverTest, MetricOutputOfTheMainFileIsFlushedOnceBeforeTheLastFileAndClosedAtTheEndOfTheRun) {
  struct Case {
    const char *name;
    std::vector<std::string> words;
    // The record files made before the run, each with one line.
    std::vector<std::string> recordFiles;
    std::string metricFile;
    std::vector<bool> recordOnDisk;
    // The metric file after the run; nothing when it does not exist.
    std::optional<std::string> metricFileAfter;
    std::string out;
  };
  const std::string d = m_scratch.path();
  const std::string old = "<MSG> old\n";
  // A language whose record files are written as the characters come.
  const test_support::EnvironmentVariable lang("LANG", std::string("C"));
  QL_resetLanguageCaches();
  const Case cases[] = {
      {"single file: appended to its record file in the output directory",
       {"-op", d + "/out", d + "/a.c"},
       {"out/a.c.met"},
       d + "/out/a.c.met",
       {false},
       old + metricRecord,
       ""},
      {"single file whose record file is made by the metric output",
       {"-op", d + "/out", d + "/a.c"},
       {},
       d + "/out/a.c.met",
       {false},
       metricRecord,
       ""},
      {"multi-file run: the cross-module file's record file, flushed before it is read",
       {"-op", d + "/out", d + "/a.c", d + "/b.c", "-cmaf", d + "/m.cma"},
       {"out/a.c.met", "out/b.c.met", "m.cma.met"},
       d + "/m.cma.met",
       {false, false, true},
       old + metricRecord,
       ""},
      {"standard output",
       {"-debug", "simpleoutput", "-op", d + "/out", d + "/a.c"},
       {"out/a.c.met"},
       d + "/out/a.c.met",
       {false},
       old,
       metricRecord},
      {"discarded",
       {"-debug", "null_metric_output", "-op", d + "/out", d + "/a.c", d + "/b.c", "-cmaf", d + "/m.cma"},
       {"out/a.c.met", "out/b.c.met"},
       d + "/m.cma.met",
       {false, false, false},
       std::nullopt,
       ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(d);
    m_scratch.makeDirectory("out");
    for (const std::string &file : c.recordFiles)
      m_scratch.writeFile(file, old);
    U_RefPtr<RecordingDriver> driver = new RecordingDriver(c.metricFile);
    parse(driver->orphanHandler(), c.words);
    driver->setCmdArgs(m_args);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, driver->run());
    EXPECT_EQ(c.out, testing::internal::GetCapturedStdout());
    std::vector<bool> recordOnDisk;
    for (const FileStep &step : driver->steps)
      recordOnDisk.push_back(step.metricRecordOnDisk);
    EXPECT_EQ(c.recordOnDisk, recordOnDisk);
    // Closed by the run.
    EXPECT_EQ(nullptr, M_metricStream());
    if (c.metricFileAfter)
      EXPECT_EQ(*c.metricFileAfter, readFile(c.metricFile));
    else
      EXPECT_FALSE(std::filesystem::exists(c.metricFile));
    driver.clear();
  }
}

TEST_F(DriverTest, RunEndsWhenTheMetricFileCannotBeOpened) {
  const std::string d = m_scratch.path();
  // The record file's name is taken by a directory.
  m_scratch.makeDirectory("out/a.c.met");
  U_RefPtr<RecordingDriver> driver = new RecordingDriver;
  parse(driver->orphanHandler(), {"-op", d + "/out", d + "/a.c"});
  driver->setCmdArgs(m_args);
  try {
    driver->run();
    ADD_FAILURE() << "no exception";
  } catch (const M_LYRCannotOpenMetricFile &error) {
    EXPECT_EQ("Cannot write metric file for '" + d + "/a.c' in output directory '" + d +
                  "/out' (Is a directory).",
              std::string(error.what()));
  }
  EXPECT_TRUE(driver->steps.empty());
}

// The base driver: the per-file loop without outputs and without the main
// file of the run; files that cannot be opened are collected.
class BaseDriver : public P_DriverBase {
public:
  BaseDriver() : P_DriverBase("", initNoChecks) {}
  void fileOpenFailed(const P_FileOpenException &exception) override {
    failed.push_back(canonicalText(exception.fileName()));
  }
  std::vector<std::string> failed;
};

TEST_F(DriverTest, TheBaseRunWalksOnlyTheInputFilesWithoutOutputsOrMainFile) {
  struct Case {
    const char *name;
    std::vector<std::string> words;
    std::vector<std::string> failed;
    std::string error;
  };
  const std::string d = m_scratch.path();
  const Case cases[] = {
      {"multi-file run",
       {"-debug", "marker", "-op", d + "/out", d + "/a.c", d + "/b.c", "-cmaf", d + "/m.cma"},
       {d + "/out/a.c.met", d + "/out/b.c.met"},
       ""},
      {"single-file run", {"-debug", "marker", "-op", d + "/out", d + "/a.c"}, {d + "/out/a.c.met"}, ""},
      // The argument set is made current before the mode is decided.
      {"two input files without the cross-module file",
       {"-debug", "marker", d + "/a.c", d + "/b.c"},
       {},
       "ERROR: Single file analysis must have exactly one input file.\n\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
    P_currentFilenames() = QL_Filename::fromPath(d + "/main.c");
    P_outputDirectory() = d + "/main";
    openMetricOutput(d + "/main.c", d + "/main", 4);
    const M_MetricBase *const metricOutput = M_currentMetricOutput();
    U_RefPtr<BaseDriver> driver = new BaseDriver;
    parse(driver->orphanHandler(), c.words);
    driver->setCmdArgs(m_args);
    testing::internal::CaptureStdout();
    try {
      EXPECT_EQ(0, driver->run());
      EXPECT_EQ("", c.error);
      EXPECT_TRUE(isIncludeListener(onIncludeRelation))
          << "include sites are recorded from the first file on";
    } catch (const C_ConfigurationException &error) {
      EXPECT_EQ(c.error, error.what());
    }
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_EQ(c.failed, driver->failed);
    EXPECT_TRUE(C_CmdArgs::hasDebugFlag(C_currentCmdArgs(), "marker"));
    EXPECT_EQ(d + "/main.c", canonicalText(P_currentFilenames()));
    EXPECT_EQ(d + "/main", P_outputDirectory());
    EXPECT_EQ(metricOutput, M_currentMetricOutput());
  }
}

TEST_F(DriverTest, TheRecordFileBesideTheMainFileIsPassedOverAndEveryOtherFileReported) {
  struct Case {
    std::string failed;
    bool reported;
  };
  const std::string src = m_scratch.makeDirectory("src");
  const std::string out = m_scratch.makeDirectory("out");
  const Case cases[] = {
      {src + "/a.c.met", false}, {src + "/./a.c.met", false}, {out + "/a.c.met", true},
      {src + "/a.c.err", true},  {src + "/b.c.met", true},
  };
  P_currentFilenames() = QL_Filename::fromPath(src + "/a.c");
  // The output's filters read the options of the current argument set.
  C_setCurrentCmdArgs(*m_args);
  RecordingDriver driver;
  selectOutput(src + "/a.c", out, 0);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.failed);
    const QL_Filename failed = QL_Filename::fromPath(c.failed);
    testing::internal::CaptureStdout();
    driver.fileOpenFailed(P_FileOpenException(failed));
    const std::string report = src + "/a.c:1: Msg=1540 #params=1 {" + canonicalText(failed) + "}\n";
    EXPECT_EQ(c.reported ? report : "", testing::internal::GetCapturedStdout());
  }
}

// What the listeners of a run saw, in order.
std::vector<std::string> runEvents;

void onRunSource(const P_Source *source) {
  runEvents.push_back(std::string("source ") + P_sourceFileName(source));
}
void onRunNewSymbol(P_Symbol *, P_Define *define) {
  runEvents.push_back(std::string("new ") + P_defineDisplayName(define));
}
void onRunDefineEnd() { runEvents.push_back("define end"); }
void onRunEnd() { runEvents.push_back("run end"); }

// A module that registers a listener of each kind that a run calls, the
// DEFINE end-of-run one first.
void initRecordingModule(U_RefPtr<C_CmdArgs> &, P_AnalysisMode &) {
  registerDefineRunEndListener(onRunDefineEnd);
  registerNewSymbolListener(onRunNewSymbol);
  registerSourceListener(onRunSource);
  registerRunEndListener(onRunEnd);
}

TEST_F(DriverTest, ARunFilesTheDefinesOfItsRecordFilesAndEndsWithTheEndOfRunListeners) {
  test_support::ListenerListsReset::resetAll();
  runEvents.clear();
  const std::string d = m_scratch.path();
  m_scratch.makeDirectory("out");
  m_scratch.writeFile("out/a.c.met", "<DEFINE> ::f(v) " + d +
                                         "/a.c 1 N DC OF F X v -\n"
                                         "<DEFINE> ::f(v) " +
                                         d + "/a.c 2 N DF OF F X v -\n");
  m_scratch.writeFile("m.cma.met", "<DEFINE> ::g " + d + "/m.cma 1 N DC OV F X ni -\n");
  const std::size_t symbolsBefore = SymbolTable::instance().symbols().size();
  {
    U_RefPtr<P_Driver> driver = new P_Driver("", initRecordingModule);
    parse(driver->orphanHandler(),
          {"-debug", "simpleoutput", "-debug", "log", "-debug", "log-file=" + d + "/log.txt", "-op",
           d + "/out", d + "/a.c", "-op", d + "/out", d + "/b.c", "-cmaf", d + "/m.cma"});
    driver->setCmdArgs(m_args);
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, driver->run());
    EXPECT_EQ(d + "/m.cma:1: Msg=1540 #params=1 {" + d + "/out/b.c.met}\n",
              testing::internal::GetCapturedStdout());
  }
  EXPECT_EQ((std::vector<std::string>{"source " + d + "/a.c", "new ::f(v)", "source " + d + "/b.c",
                                      "source " + d + "/m.cma", "new ::g", "run end", "define end"}),
            runEvents);
  EXPECT_EQ(symbolsBefore + 2, SymbolTable::instance().symbols().size())
      << "::f with its definition, and ::g";
  EXPECT_EQ("File: 1/3 Name: " + d + "/a.c\nFile: 2/3 Name: " + d + "/b.c\nFile: 3/3 Name: " + d + "/m.cma\n",
            test_support::readFile(d + "/log.txt"));
  test_support::ListenerListsReset::resetAll();
}

// A variable ::h of type ni at the location, as a caller of the metric output
// describes it.
class VariableAt : public MI_DefineOV {
public:
  explicit VariableAt(U_Location location) : m_location(std::move(location)) {}
  U_Location location() const override { return m_location; }
  void name(std::string &text) const override { text = "::h"; }
  void typeText(std::string &text) const override { text = "ni"; }
  std::uint32_t scope() const override { return 0; }
  bool flagS() const override { return false; }
  bool linkageI() const override { return false; }
  bool linkageX() const override { return false; }
  bool flagR() const override { return false; }
  bool digit1() const override { return false; }
  bool digit2() const override { return false; }
  bool digit3() const override { return false; }
  bool digitPlus4() const override { return false; }
  bool flagU() const override { return false; }

private:
  U_Location m_location;
};

// The recording module's driver, which in the first step writes the DEFINE
// record of ::h in the cross-module file through the metric output.
class MetricWritingDriver : public P_Driver {
public:
  explicit MetricWritingDriver(std::string crossModuleFile)
      : P_Driver("", initRecordingModule), m_crossModuleFile(std::move(crossModuleFile)) {}
  void analyseFile(SymbolTable &symbols, int index, const std::vector<InputFileRecord> &files,
                   std::size_t position) override {
    if (position == 0)
      M_currentMetricOutput()->writeDefineOV(
          VariableAt(U_Location(QL_Filename::fromPath(m_crossModuleFile), 5, 0)), 1);
    P_Driver::analyseFile(symbols, index, files, position);
  }

private:
  std::string m_crossModuleFile;
};

// The metric output appends to the cross-module file's record file and is
// flushed before that file is read: what the run wrote there is read with it.
TEST_F(DriverTest, RecordsWrittenDuringARunAreReadWithTheCrossModuleRecordFile) {
  test_support::ListenerListsReset::resetAll();
  runEvents.clear();
  const std::string d = m_scratch.path();
  const test_support::EnvironmentVariable lang("LANG", std::string("C"));
  QL_resetLanguageCaches();
  m_scratch.makeDirectory("out");
  m_scratch.writeFile("out/a.c.met");
  m_scratch.writeFile("out/b.c.met");
  m_scratch.writeFile("m.cma.met");
  {
    U_RefPtr<P_Driver> driver = new MetricWritingDriver(d + "/m.cma");
    parse(driver->orphanHandler(), {"-op", d + "/out", d + "/a.c", d + "/b.c", "-cmaf", d + "/m.cma"});
    driver->setCmdArgs(m_args);
    EXPECT_EQ(0, driver->run());
  }
  EXPECT_EQ((std::vector<std::string>{"source " + d + "/a.c", "source " + d + "/b.c",
                                      "source " + d + "/m.cma", "new ::h", "run end", "define end"}),
            runEvents);
  EXPECT_EQ("<DEFINE> ::h " + d + "/m.cma 5 N DC OV F X ni -\n", test_support::readFile(d + "/m.cma.met"));
  test_support::ListenerListsReset::resetAll();
}

// A module whose end of the run reports a diagnostic and writes a metric
// record, then fails as failRunEnd says (by default: it meets a checked file
// that the re-scan cannot read).
std::function<void()> failRunEnd;
void reportThenFail() {
  M_sendMessage(makeFileOpenDiagnostic(U_Location(P_currentFilenames(), 1, 0), QL_Filename::fromPath("/x")));
  M_currentMetricOutput()->writeMessage("written", "late");
  failRunEnd();
}
void initFailingModule(U_RefPtr<C_CmdArgs> &, P_AnalysisMode &) { registerRunEndListener(reportThenFail); }

// A run that fails after it found something leaves its error file byte for
// byte as it was, and makes none that was missing: what it found is dropped
// with its message output, so that a run after the cause is mended adds each
// finding once. The re-scan's exit discards the output before it leaves the
// run; any other failure leaves the output to the driver's end. The metric
// output is closed as usual.
TEST_F(DriverTest, AFailedRunLeavesTheErrorFileAsItWas) {
  struct Case {
    const char *failure;
    std::function<void()> fail;
  };
  const Case cases[] = {
      {"re-scan exit", [] { throw P_SourceRescanExit("/src/gone.h does not exist.\n"); }},
      {"memory exhausted", [] { throw std::bad_alloc(); }},
      {"user error", [] { throw U_UserException("cannot go on"); }},
      {"system exception", [] { throw std::runtime_error("broken"); }},
  };
  const std::string primary("\x00\x93\x00\x00\x00\x00\x00\x00", 8);
  for (const Case &c : cases) {
    for (bool existing : {true, false}) {
      SCOPED_TRACE(std::string(c.failure) + (existing ? ", existing error file" : ", missing error file"));
      test_support::ListenerListsReset::resetAll();
      failRunEnd = c.fail;
      const ScratchDirectory scratch;
      const std::string d = scratch.path();
      scratch.writeFile("a.c.met");
      if (existing)
        scratch.writeFile("a.c.err", primary);
      {
        U_RefPtr<P_Driver> driver = new P_Driver("", initFailingModule);
        parse(driver->orphanHandler(), {"-op", d, d + "/a.c"});
        driver->setCmdArgs(m_args);
        bool failed = false;
        try {
          driver->run();
        } catch (...) {
          failed = true;
        }
        EXPECT_TRUE(failed) << "the run went on";
      }
      EXPECT_EQ(nullptr, M_currentOutput());
      EXPECT_EQ(nullptr, M_metricStream());
      EXPECT_EQ("<MSG> written late\n", readFile(d + "/a.c.met"));
      EXPECT_EQ(existing, std::filesystem::exists(d + "/a.c.err"));
      if (existing) {
        EXPECT_TRUE(readFile(d + "/a.c.err") == primary) << "the error file changed";
      }
      EXPECT_EQ(existing ? 2 : 1, std::distance(std::filesystem::directory_iterator(d), {}))
          << "no other file is left";
    }
  }
  failRunEnd = nullptr;
  test_support::ListenerListsReset::resetAll();
}

TEST_F(DriverTest, DestroyingTheDriverClosesTheMessageOutput) {
  {
    RecordingDriver driver;
    selectOutput("/src/a.c", "/out", 0);
  }
  testing::internal::CaptureStderr();
  EXPECT_THROW(M_sendMessage(makeFileOpenDiagnostic(U_Location(), QL_Filename::fromPath("/x"))), int);
  EXPECT_EQ("M_Output:81: Cannot send information before open().\n", testing::internal::GetCapturedStderr());
}

TEST_F(DriverTest, FileOpenDiagnosticNamesTheFileAtTheLocation) {
  const U_RefPtr<M_Diagnostic> diagnostic = makeFileOpenDiagnostic(
      U_Location(QL_Filename::fromPath("/src/m.cma"), 1, 0), QL_Filename::fromPath("/o/b.c.err"));
  EXPECT_EQ(1540u, diagnostic->getNumber());
  ASSERT_EQ(1, diagnostic->getParameterCount());
  EXPECT_EQ("/o/b.c.err", diagnostic->getParameter(0)->text());
  EXPECT_EQ(1, diagnostic->getLocation().getLine());
  EXPECT_EQ(0, diagnostic->getLocation().getColumn());
}

} // namespace
