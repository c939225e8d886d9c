// Installing the sink of a run by its kind.
#include "messages/OutputSelection.h"
#include "messages/TextOutputs.h"
#include "support/CurrentArguments.h"

#include <gtest/gtest.h>

namespace {

class OutputSelectionTest : public test_support::CurrentArgumentsTest {
protected:
  void TearDown() override { M_closeOutput(); }
};

TEST_F(OutputSelectionTest, EachKindInstallsItsSink) {
  enum class Sink { simple, format, null };
  struct Case {
    int kind;
    Sink sink;
    int outputKind;
  };
  // Until the error files are written, kinds 2 and 3 print simple text lines.
  const Case cases[] = {
      {0, Sink::simple, 0}, {1, Sink::format, 1}, {2, Sink::simple, 2},  {3, Sink::simple, 3},
      {4, Sink::simple, 0}, {5, Sink::null, 5},   {-1, Sink::simple, 0}, {7, Sink::simple, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.kind);
    selectOutput("/p/a.c", "/p/out", c.kind);
    EXPECT_EQ(c.outputKind, M_OutputKind());
    M_OutputBase *sink = M_currentOutput();
    EXPECT_EQ(c.sink == Sink::simple, dynamic_cast<M_OutputSimple *>(sink) != nullptr);
    EXPECT_EQ(c.sink == Sink::format, dynamic_cast<M_OutputFormat *>(sink) != nullptr);
    EXPECT_EQ(c.sink == Sink::null, dynamic_cast<M_OutputNull *>(sink) != nullptr);
  }
}

} // namespace
