// A fixture for the readers of records that name entities: every test starts
// with no listener registered and nothing kept by the readers, DEFINE records
// are filed (a DEFINE end-of-run listener is registered) into the run's symbol
// table, and record files are read from an output directory of the test's own
// through the record-file reader.
#pragma once

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/FileIdentity.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/RecordStoresReset.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace test_support {

// The lines of the first list, then those of the second (record lines after
// the DEFINE lines that give their names symbols).
inline std::vector<std::string> linesThen(const std::vector<std::string> &first,
                                          const std::vector<std::string> &then) {
  std::vector<std::string> all = first;
  all.insert(all.end(), then.begin(), then.end());
  return all;
}

class RecordReaderTest : public testing::Test {
protected:
  void SetUp() override {
    resetReaders();
    registerDefineRunEndListener(fileDefines);
  }
  void TearDown() override {
    resetReaders();
    setSymbolTableContext(nullptr);
  }

  // Reads the lines as the record file of the source file of that name.
  void readRecordFile(const std::string &source, const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines)
      text += line + "\n";
    readRecordFileText(source, text);
  }

  // Reads the text, exactly as it is, as the record file of the source file.
  void readRecordFileText(const std::string &source, const std::string &text) {
    m_out.writeFile(source + ".met", text);
    readMetricFile(QL_Filename::fromPath(m_out.path()), QL_Filename::fromPath(m_sources / source),
                   SymbolTable::instance());
  }

  // Makes the words the current argument set ("-debug", "show-extv-errors").
  void setArguments(const std::vector<std::string> &words) { m_arguments.set(words); }

  // What readRecordFile wrote on standard output.
  std::string readRecordFileOutput(const std::string &source, const std::vector<std::string> &lines) {
    testing::internal::CaptureStdout();
    readRecordFile(source, lines);
    return testing::internal::GetCapturedStdout();
  }

  std::string recordFilePath(const std::string &source) const { return m_out / (source + ".met"); }

private:
  static void fileDefines() {}
  static void resetReaders() {
    ListenerListsReset::resetAll();
    RecordStoresReset::resetAll();
  }

  CurrentArguments m_arguments;
  ScratchDirectory m_out;
  ScratchDirectory m_sources;
};

} // namespace test_support
