#include "anlsrslt/readers/SourceFileReader.h"

#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/readers/Source.h"
#include "foundation/FileIdentity.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::readFile;
using test_support::ScratchDirectory;

std::vector<std::string> events;

void recordLine(const char *who, const std::string &line) {
  events.push_back(std::string(who) + ":" + line + "@" + std::to_string(P_currentRecordLine()));
}
void handlerA(const std::string &line) { recordLine("A", line); }
void handlerA2(const std::string &line) { recordLine("A2", line); }
void handlerB(const std::string &line) { recordLine("B", line); }

void complianceChecks() { events.push_back("compliance"); }
void nameChecker() { events.push_back("names"); }
void includePlacement() { events.push_back("include-placement"); }
void onRunEnd() { events.push_back("run-end"); }

void onSource(const P_Source *source) {
  events.push_back("source " + std::to_string(source->fileNumber()) + "/" +
                   std::to_string(source->fileCount()) + " " + P_sourceFileName(source) +
                   (P_sourceIsAnalysedFile(source) ? " analysed" : ""));
}
void onSourceCallback() { events.push_back("callback"); }

void onNewSymbol(P_Symbol *, P_Define *define) {
  events.push_back(std::string("new:") + P_defineName(define));
}

// Every test starts with nothing registered, in an argument set and output
// directory of its own.
class SourceFileReaderTest : public testing::Test {
protected:
  void SetUp() override {
    test_support::ListenerListsReset::resetAll();
    events.clear();
  }
  void TearDown() override {
    test_support::ListenerListsReset::resetAll();
    setSymbolTableContext(nullptr);
    P_currentFilenames() = QL_Filename();
  }

  // Writes the record file of the source file name in the output directory.
  void writeRecordFile(const std::string &source, const std::string &text) {
    m_out.writeFile(source + ".met", text);
  }
  int read(const std::string &source, SymbolTable &symbols) {
    return readMetricFile(QL_Filename::fromPath(m_out.path()), QL_Filename::fromPath(m_sources / source),
                          symbols);
  }
  std::string recordFilePath(const std::string &source) const { return m_out / (source + ".met"); }

  test_support::CurrentArguments m_arguments;
  ScratchDirectory m_out;
  ScratchDirectory m_sources;
  SymbolTable m_symbols;
};

TEST_F(SourceFileReaderTest, RecordsReachTheHandlersOfTheirTag) {
  registerRecordHandler("A", handlerA);
  registerRecordHandler("A", handlerA2);
  registerRecordHandler("A", handlerA);
  registerRecordHandler("B", handlerB);
  writeRecordFile("a.c", "<A> one\n"
                         "plain line\n"
                         "<Z> no handler\n"
                         "<a> tags are case-sensitive\n"
                         "<A>two\n"
                         "<B> x\r\n"
                         "<A > not A\n"
                         "<B> last line without a line end");
  EXPECT_EQ(0, read("a.c", m_symbols));
  EXPECT_EQ((std::vector<std::string>{"A:<A> one@1", "A2:<A> one@1", "A:<A>two@5", "A2:<A>two@5", "B:<B> x@6",
                                      "B:<B> last line without a line end@8"}),
            events);
  EXPECT_EQ("", P_currentRecordFile()) << "only while a record file is read";
  EXPECT_EQ(0u, P_currentRecordLine());
}

TEST_F(SourceFileReaderTest, TheRecordFileIsReadWithoutHandlersAndAMissingOneIsReported) {
  writeRecordFile("a.c", "<A> one\n");
  EXPECT_EQ(0, read("a.c", m_symbols));

  // The handler's symbol table stays as it was when the file is missing.
  registerDefineRunEndListener(onRunEnd);
  setSymbolTableContext(&m_symbols);
  SymbolTable other;
  try {
    read("missing.c", other);
    FAIL() << "no exception";
  } catch (const P_FileOpenException &exception) {
    EXPECT_EQ(QL_Filename::fromPath(recordFilePath("missing.c")), exception.fileName());
    EXPECT_STREQ("PostAnalysis FileOpenException", exception.what());
  }
  handleDefineRecord("<DEFINE> x /s/a.c 1 N DC OV F X t -");
  EXPECT_EQ(1u, m_symbols.symbols().size());
  EXPECT_TRUE(other.symbols().empty());
}

// The DEFINE records of each record file are filed into the table given for
// it; a malformed one is skipped, and under "show-symbol-errors" reported
// with its record file and line, while the others are read on.
TEST_F(SourceFileReaderTest, ARunFilesTheDefinesOfItsRecordFiles) {
  m_arguments.set({"-debug", "show-symbol-errors"});
  registerDefineRunEndListener(onRunEnd);
  registerNewSymbolListener(onNewSymbol);
  writeRecordFile("a.c", "<DEFINE> ::f(v) /s/a.c 1 N DC OF F X v -\n"
                         "<R>I /s/a.c /s/b.h 2 -\n"
                         "<DEFINE> ::g(v) /s/a.c x N DC OF F X v -\n"
                         "<DEFINE> ::h(v) /s/a.c 4 N DC OF F X v -\n");
  writeRecordFile("b.c", "<DEFINE> ::i(v) /s/b.c 1 N DC OF F X v -\n"
                         "<DEFINE> ::j(v) /s/b.c 2 N QQ OF F X v -\n");
  testing::internal::CaptureStdout();
  read("a.c", m_symbols);
  read("b.c", m_symbols);
  notifyRunEndListeners(m_symbols);
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(recordFilePath("a.c") + ":3: malformed DEFINE record skipped\n" + recordFilePath("b.c") +
                ":2: malformed DEFINE record skipped\n",
            output);
  EXPECT_EQ(3u, m_symbols.symbols().size());
  EXPECT_EQ((std::vector<std::string>{"new:::f\x8Ev\x8F", "new:::h\x8Ev\x8F", "new:::i\x8Ev\x8F", "run-end"}),
            events);
}

TEST_F(SourceFileReaderTest, TheModulesEndOfRunChecksRunBeforeTheDefineEndOfRunList) {
  registerDefineRunEndListener(nameChecker);
  registerDefineRunEndListener(includePlacement);
  registerRunEndListener(complianceChecks);
  registerRunEndListener(complianceChecks);
  registerRunEndListener(onRunEnd);
  registerDefineRunEndListener(nameChecker);
  notifyRunEndListeners(m_symbols);
  EXPECT_EQ((std::vector<std::string>{"compliance", "run-end", "names", "include-placement"}), events);

  // The end of the run makes the table the handler's.
  handleDefineRecord("<DEFINE> x /s/a.c 1 N DC OV F X t -");
  EXPECT_EQ(1u, m_symbols.symbols().size());
}

TEST_F(SourceFileReaderTest, NoEndOfRunListener) {
  notifyRunEndListeners(m_symbols);
  EXPECT_TRUE(events.empty());
}

TEST_F(SourceFileReaderTest, PerSourceListeners) {
  const QL_Filename file = QL_Filename::fromPath(m_sources / "a.c");
  EXPECT_EQ(2, addSourceFile(1, 2, file)) << "no listener";
  EXPECT_TRUE(events.empty());

  registerSourceListener(onSource);
  registerSourceListener(onSource);
  P_currentFilenames() = file;
  EXPECT_EQ(0, addSourceFile(1, 2, file));
  EXPECT_EQ(0, addSourceFile(2, 2, QL_Filename::fromPath(m_sources / "b.c")));
  EXPECT_EQ((std::vector<std::string>{"source 1/2 " + m_sources / "a.c" + " analysed",
                                      "source 2/2 " + m_sources / "b.c"}),
            events);

  events.clear();
  registerSourceCallback(onSourceCallback);
  registerSourceCallback(onSourceCallback);
  notifySourceCallbacks();
  EXPECT_EQ(std::vector<std::string>{"callback"}, events);
}

TEST_F(SourceFileReaderTest, SourceLog) {
  const std::string log = m_out / "log.txt";
  const std::string other = m_out / "other.txt";
  const struct {
    std::vector<std::string> words;
    bool written;
  } cases[] = {
      {{"-debug", "log"}, false},
      {{"-debug", "log-file=" + log}, false},
      {{"-debug", "log", "-debug", "log-file=" + log}, true},
      {{"-debug", "log-file=" + log, "-debug", "log", "-debug", "log-file=" + other}, true},
      {{"-debug", "log", "-debug", "log-file=" + m_out / "no/such/dir/log.txt"}, false},
      {{"-debug", "log", "-debug", "log-file="}, false},
  };
  const QL_Filename file = QL_Filename::fromPath(m_sources / "a.c");
  for (const auto &c : cases) {
    std::filesystem::remove(log);
    std::filesystem::remove(other);
    m_arguments.set(c.words);
    initSourceLog();
    EXPECT_EQ(2, addSourceFile(2, 3, file)) << "the log is written without listeners too";
    closeSourceLog();
    EXPECT_EQ(c.written ? "File: 2/3 Name: " + m_sources / "a.c" + "\n" : "", readFile(log))
        << c.words.back();
    EXPECT_FALSE(std::filesystem::exists(other)) << c.words.back();
  }
  // An existing log file is emptied.
  m_out.writeFile("log.txt", "old text\n");
  m_arguments.set({"-debug", "log", "-debug", "log-file=" + log});
  initSourceLog();
  closeSourceLog();
  EXPECT_EQ("", readFile(log));
}

} // namespace
