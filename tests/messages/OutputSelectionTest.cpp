// Installing the sink of a run by its kind.
#include "messages/OutputSelection.h"

#include "messages/TextOutputs.h"
#include "resultfiles/ErrorFileOutput.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace {

enum class Sink { simple, format, null, format1, format2 };

// Which sink is installed.
Sink installedSink() {
  M_OutputBase *sink = M_currentOutput();
  if (dynamic_cast<M_OutputFormat *>(sink))
    return Sink::format;
  if (dynamic_cast<M_OutputNull *>(sink))
    return Sink::null;
  if (dynamic_cast<M_OutputTamsel *>(sink))
    return Sink::format1;
  if (dynamic_cast<M_OutputTamsel2 *>(sink))
    return Sink::format2;
  EXPECT_NE(nullptr, dynamic_cast<M_OutputSimple *>(sink));
  return Sink::simple;
}

const std::string format1Header = BYTES("\x00\x79\x00\x00\x00\x00\x00\x00");
const std::string format2Start = BYTES("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00");

class OutputSelectionTest : public test_support::CurrentArgumentsTest {
protected:
  void TearDown() override { M_closeOutput(); }

  test_support::ScratchDirectory m_dir;
};

TEST_F(OutputSelectionTest, EachKindInstallsItsSink) {
  struct Case {
    int kind;
    Sink sink;
    int outputKind;
    std::string fileMade; // the error file's bytes, empty when none is made
  };
  const Case cases[] = {
      {0, Sink::simple, 0, ""},
      {1, Sink::format, 1, ""},
      {2, Sink::format1, 2, format1Header},
      {3, Sink::format2, 3, format2Start},
      {4, Sink::simple, 0, ""},
      {5, Sink::null, 5, ""},
      {-1, Sink::simple, 0, ""},
      {7, Sink::simple, 0, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.kind);
    const std::string directory = m_dir.makeDirectory("kind" + std::to_string(c.kind));
    selectOutput("/p/a.c", directory, c.kind);
    EXPECT_EQ(c.outputKind, M_OutputKind());
    EXPECT_EQ(c.sink, installedSink());
    M_closeOutput();
    EXPECT_EQ(c.fileMade, test_support::readFile(directory + "/a.c.err"));
  }
}

// The kind asked for decides only the format of a new file: an existing file
// is appended to in its own format. The output directory is that of the
// current arguments.
TEST_F(OutputSelectionTest, ExistingErrorFileKeepsItsFormat) {
  struct Case {
    int kind;
    std::string existing;
    Sink sink;
    int outputKind;
  };
  const Case cases[] = {
      {2, format2Start, Sink::format2, 3},
      {3, format1Header, Sink::format1, 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.kind);
    const std::string directory = m_dir.makeDirectory("existing" + std::to_string(c.kind));
    m_dir.writeFile("existing" + std::to_string(c.kind) + "/a.c.err", c.existing);
    setArguments({"-op", directory});
    selectOutputWithoutDirectory("/p/a.c", c.kind);
    EXPECT_EQ(c.outputKind, M_OutputKind());
    EXPECT_EQ(c.sink, installedSink());
  }
}

TEST_F(OutputSelectionTest, NewErrorFileOutput) {
  struct Case {
    int kind;
    bool installs;
    Sink sink;
    std::string fileMade;
  };
  const Case cases[] = {
      {0, true, Sink::simple, ""},
      {1, false, Sink::null, ""},
      {2, true, Sink::format1, format1Header},
      {3, true, Sink::format2, format2Start},
      {5, false, Sink::null, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.kind);
    M_openNullOutput();
    const std::string path = m_dir / ("new" + std::to_string(c.kind) + ".err");
    openNewErrorFileOutput(path, c.kind);
    EXPECT_EQ(c.sink, installedSink());
    EXPECT_EQ(c.installs ? c.kind : 5, M_OutputKind());
    M_closeOutput();
    EXPECT_EQ(c.fileMade, test_support::readFile(path));
  }
}

} // namespace
