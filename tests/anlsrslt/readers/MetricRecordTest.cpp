#include "anlsrslt/readers/MetricRecord.h"

#include "RecordReaderTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// What the metric listeners were told, in order: "<listener>:<entity>", the
// entity "(null)" for the null key.
std::vector<std::string> events;

void tell(const char *listener, const char *entity) {
  events.push_back(std::string(listener) + ":" + (entity ? entity : "(null)"));
}
void onEntity(const char *entity) { tell("a", entity); }
void onEntityToo(const char *entity) { tell("b", entity); }

std::string valueOf(const char *entity, const char *metric) {
  const char *value = getMetricString(entity, metric);
  return value ? value : "(missing)";
}

class MetricRecordTest : public test_support::RecordReaderTest {
protected:
  void SetUp() override {
    RecordReaderTest::SetUp();
    events.clear();
  }
  static void handle(const std::vector<std::string> &lines) {
    for (const std::string &line : lines)
      handleMetricRecord(line);
  }
};

TEST_F(MetricRecordTest, EachLineShapeFilesItsMetrics) {
  struct Lookup {
    const char *entity;
    const char *metric;
    std::string value; // "(missing)" when nothing is stored
  };
  const struct Case {
    std::vector<std::string> lines;
    std::vector<Lookup> lookups;
  } cases[] = {
      // The writer's header for a file, then a metric of the file.
      {{"<S>", "<S>STFIL /s/a.c", "<S>STNAM /s/a.c", "<S>M1 3"},
       {{"/s/a.c", "STFIL", "/s/a.c"}, {"/s/a.c", "STNAM", "/s/a.c"}, {"/s/a.c", "M1", "3"}}},
      // A named entity in a file; its key is the marked name.
      {{"<S>STFIL /s/a.c", "<S>STNAM f", "<S>A 3.000", "<S>B 12.000"},
       {{"f", "STFIL", "/s/a.c"},
        {"f", "STNAM", "f"},
        {"f", "A", "3.000"},
        {"f", "B", "12.000"},
        {"/s/a.c", "A", "(missing)"}}},
      {{"<S>STFIL /s/a.c", "<S>STNAM ::f(ni,pc)", "<S>A 1"}, {{"::f(ni,pc)", "A", "1"}}},
      // A quoted file text names the file; its metrics keep the quotes.
      {{"<S>STFIL \"/s/my dir/a.c\"", "<S>STNAM \"/s/my dir/a.c\"", "<S>M 2"},
       {{"/s/my dir/a.c", "STFIL", "\"/s/my dir/a.c\""}, {"/s/my dir/a.c", "M", "2"}}},
      // The value runs to the end of the line; blanks before it are skipped,
      // a tab is not; white space before the name is.
      {{"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M   3 4 ", "<S>T\t5", "<S> \tW 6"},
       {{"f", "M", "3 4 "}, {"f", "T", "\t5"}, {"f", "W", "6"}}},
      // The later value of a name wins; an empty value or name stores nothing.
      {{"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1", "<S>M 2", "<S>E ", "<S>F", "<S>", "<S> "},
       {{"f", "M", "2"}, {"f", "E", "(missing)"}, {"f", "F", "(missing)"}}},
      // An entity named again gets the metrics that follow.
      {{"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1", "<S>STNAM g", "<S>M 2", "<S>STNAM f", "<S>N 3"},
       {{"f", "M", "1"}, {"f", "N", "3"}, {"g", "M", "2"}}},
      // The writer's line for an entity of no name: the empty name.
      {{"<S>STFIL /s/a.c", "<S>STNAM ", "<S>M 1"}, {{"", "STFIL", "/s/a.c"}, {"", "M", "1"}}},
      // Before any file text a "STNAM" line is skipped: its metrics go to the
      // entity before it (none here).
      {{"<S>STNAM f", "<S>M 1", "<S>STFIL /s/a.c", "<S>STNAM g", "<S>N 2"},
       {{"f", "M", "(missing)"}, {"f", "STFIL", "(missing)"}, {"g", "N", "2"}, {"g", "STFIL", "/s/a.c"}}},
      {{"<S>STFIL /s/a.c", "<S>STNAM f", "<S>STFIL", "<S>STNAM g", "<S>M 1"},
       {{"f", "M", "1"}, {"g", "STFIL", "(missing)"}}},
  };
  for (const Case &c : cases) {
    test_support::RecordStoresReset::resetAll();
    handle(c.lines);
    std::string input;
    for (const std::string &line : c.lines)
      input += line + " / ";
    for (const Lookup &lookup : c.lookups)
      EXPECT_EQ(lookup.value, valueOf(lookup.entity, lookup.metric))
          << input << "lookup " << lookup.entity << " " << lookup.metric;
  }
}

TEST_F(MetricRecordTest, MetricsBeforeTheFirstEntityGoUnderTheNullKey) {
  handle({"<S>M 1", "<S>STFIL /s/a.c", "<S>M 2"});
  ASSERT_EQ(1u, metricStore().size());
  EXPECT_STREQ("2", metricStore()[nullptr]["M"]);
  EXPECT_EQ(nullptr, currentMetricEntity());
  EXPECT_EQ("/s/a.c", getLastFIL());
  EXPECT_EQ("(missing)", valueOf("", "M"));
}

TEST_F(MetricRecordTest, KeysAreInternedAndValuesPooled) {
  handle({"<S>STFIL /s/a.c", "<S>STNAM /s/a.c", "<S>M 3", "<S>STNAM ::f(v)", "<S>M 3"});
  EXPECT_EQ(1u, metricStore().count(P_filenameProxyFor(QL_Filename::fromPath("/s/a.c"))->name()));
  const char *key = currentMetricEntity();
  ASSERT_NE(nullptr, key);
  EXPECT_EQ(internString("::f\x8Ev\x8F"), key);
  EXPECT_EQ(getMetricString("/s/a.c", "M"), getMetricString("::f(v)", "M"));
}

TEST_F(MetricRecordTest, NumbersFromValues) {
  const struct Case {
    std::string value;
    std::int32_t number;
    double floating;
  } cases[] = {
      {"3", 3, 3.0},     {"x", 0, 0.0},     {" 7", 7, 7.0},    {"12.5", 12, 12.5},
      {"2.50", 2, 2.5},  {"-4x", -4, -4.0}, {"+6", 6, 6.0},    {"2147483648", 0, 2147483648.0},
      {"3.000", 3, 3.0}, {".5", 0, 0.5},    {"\t9 1", 9, 9.0}, {"1e3", 1, 1000.0},
  };
  for (const Case &c : cases) {
    handle({"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M " + c.value});
    EXPECT_EQ(c.number, getMetric("f", "M")) << c.value;
    EXPECT_DOUBLE_EQ(c.floating, getMetricDouble("f", "M")) << c.value;
  }
  EXPECT_EQ(0, getMetric("f", "none"));
  EXPECT_EQ(0.0, getMetricDouble("none", "M"));
  EXPECT_EQ(nullptr, getMetricString("none", "M"));
  EXPECT_EQ(nullptr, getMetricString(nullptr, nullptr));
}

TEST_F(MetricRecordTest, MissingMetricsAreReportedUnderTheirDebugWord) {
  handle({"<S>STFIL /s/a.c", "<S>STNAM f(v)", "<S>M 1"});
  for (const bool debug : {false, true}) {
    setArguments(debug ? std::vector<std::string>{"-debug", "show-metric-errors"}
                       : std::vector<std::string>{});
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, getMetric("g", "M"));
    EXPECT_EQ(0.0, getMetricDouble("f(v)", "N"));
    EXPECT_EQ(nullptr, getMetricString("f(v)", "N"));
    EXPECT_EQ(1, getMetric("f(v)", "M"));
    const std::string output = testing::internal::GetCapturedStdout();
    // The entity is printed in its marked form.
    EXPECT_EQ(debug ? "Missing Metrics for : g\n"
                      "f\x8Ev\x8F does not have the metric  : N\n"
                      "f\x8Ev\x8F does not have the metric  : N\n"
                    : "",
              output)
        << debug;
  }
  EXPECT_EQ(1u, metricStore().size()) << "a lookup adds nothing";
}

TEST_F(MetricRecordTest, SkippedEntityReportedUnderTheDebugWord) {
  setArguments({"-debug", "show-metric-errors"});
  registerMetricRecordHandler();
  const std::string output = readRecordFileOutput("a.c", {"<S>STNAM f", "<S>STFIL /s/a.c", "<S>STNAM g"});
  EXPECT_EQ(recordFilePath("a.c") + ":1: malformed S record skipped\n", output);
  EXPECT_EQ(0u, metricStore().count(internString("f")));
  EXPECT_EQ("g", valueOf("g", "STNAM"));
}

TEST_F(MetricRecordTest, ListenersAreToldOfEachCompleteEntity) {
  registerMetricListener(onEntity);
  registerMetricListener(onEntityToo);
  registerMetricListener(onEntity);
  readRecordFile("a.c", {"<S>", "<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1", "<S>", "<S>STFIL /s/a.c",
                         "<S>STNAM g", "<S>M 2"});
  EXPECT_EQ((std::vector<std::string>{"a:f", "b:f"}), events);
  events.clear();
  notifyRunEndListeners(SymbolTable::instance());
  EXPECT_EQ((std::vector<std::string>{"a:g", "b:g"}), events);
}

// Entities are not reset between record files: the first entity of a file
// completes the last one of the file before, and the last file text carries
// over.
TEST_F(MetricRecordTest, NotificationsAcrossRecordFiles) {
  registerMetricListener(onEntity);
  readRecordFile("a.c", {"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1"});
  EXPECT_TRUE(events.empty());
  readRecordFile("b.c", {"<S>STNAM g", "<S>M 2", "<S>STFIL /s/b.c", "<S>STNAM /s/b.c", "<S>M 3"});
  EXPECT_EQ((std::vector<std::string>{"a:f", "a:g"}), events);
  EXPECT_EQ("/s/a.c", valueOf("g", "STFIL"));
  EXPECT_EQ("3", valueOf("/s/b.c", "M"));
  events.clear();
  notifyRunEndListeners(SymbolTable::instance());
  const std::string fileKey = P_filenameProxyFor(QL_Filename::fromPath("/s/b.c"))->name();
  EXPECT_EQ(std::vector<std::string>{"a:" + fileKey}, events);
}

TEST_F(MetricRecordTest, RunEndWithoutEntityPassesTheNullKey) {
  registerMetricListener(onEntity);
  registerMetricListenerNoRunEnd(onEntityToo);
  readRecordFile("a.c", {"<S>STFIL /s/a.c", "<S>M 1"});
  notifyRunEndListeners(SymbolTable::instance());
  EXPECT_EQ((std::vector<std::string>{"a:(null)", "b:(null)"}), events);
}

TEST_F(MetricRecordTest, WithoutRunEndListenerTheLastEntityIsNotTold) {
  registerMetricListenerNoRunEnd(onEntity);
  readRecordFile("a.c", {"<S>STFIL /s/a.c", "<S>STNAM f", "<S>STNAM g"});
  notifyRunEndListeners(SymbolTable::instance());
  EXPECT_EQ(std::vector<std::string>{"a:f"}, events);
}

TEST_F(MetricRecordTest, LinesAreReadOnlyOnceSwitchedOn) {
  readRecordFile("a.c", {"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1"});
  EXPECT_TRUE(metricStore().empty());
  EXPECT_EQ("", getLastFIL());
  registerMetricRecordHandler();
  readRecordFile("a.c", {"<S>STFIL /s/a.c", "<S>STNAM f", "<S>M 1"});
  EXPECT_EQ("1", valueOf("f", "M"));
}

TEST_F(MetricRecordTest, SetMetricReplaces) {
  const char *key = internString("k");
  setMetric(key, "M", "1");
  setMetric(key, "M", "2");
  EXPECT_EQ("2", valueOf("k", "M"));
  setMetric(nullptr, "N", "3");
  EXPECT_STREQ("3", metricStore()[nullptr]["N"]);
}

TEST(StripQuotesTest, RemovesSurroundingQuotes) {
  const struct Case {
    std::string text;
    std::string stripped;
  } cases[] = {
      {"\"a b\"", "a b"},
      {"abc", "abc"},
      {"", ""},
      {"\"\"", ""},
      {"\"a\"b", "a"},
      {"\"a\"b\"c", "a\"b"},
      {"a\"b\"", "a\"b\""},
      // No closing quote: nothing to strip.
      {"\"", "\""},
      {"\"abc", "\"abc"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.stripped, stripQuotes(c.text)) << c.text;
}

} // namespace
