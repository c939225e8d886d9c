#include "checks/ComplianceIds.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The numbers of the id from position 1 until the table answers 0.
std::vector<std::uint32_t> numbersOf(const std::string &id) {
  std::vector<std::uint32_t> numbers;
  for (std::uint32_t position = 1; position < 10; ++position) {
    const std::uint32_t number = Qmsg::get_msg(id, position);
    if (number == 0)
      break;
    numbers.push_back(number);
  }
  return numbers;
}

TEST(ComplianceIdsTest, EntriesAndTheNumbersTheyFile) {
  struct Case {
    std::string entry;
    std::string id;
    std::vector<std::uint32_t> numbers;
  };
  const Case cases[] = {
      {"9036:5127", "9036", {5127}},
      {"9037:5127;5128", "9037", {5127, 5128}},
      {"9050:12x;", "9050", {12}},
      {"9052: +7;-0;3", "9052", {7}}, // a 0 ends what numbersOf reads
      {"9053:5:6", "9053", {5}},
      {" 9054 :1", " 9054 ", {1}},
      {":8", "", {8}},
      {"9055:99999999999", "9055", {2147483647}},
  };
  for (const Case &c : cases) {
    Qmsg::add(c.entry);
    EXPECT_EQ(c.numbers, numbersOf(c.id)) << c.entry;
  }
}

TEST(ComplianceIdsTest, EmptyPiecesReadAsZero) {
  Qmsg::add("9051:7;;9");
  EXPECT_EQ(7u, Qmsg::get_msg("9051", 1));
  EXPECT_EQ(0u, Qmsg::get_msg("9051", 2));
  EXPECT_EQ(9u, Qmsg::get_msg("9051", 3));
}

TEST(ComplianceIdsTest, ALaterEntryOfAnIdReplacesItWhole) {
  Qmsg::add("9060:5127;5128");
  Qmsg::add("9060:7000");
  EXPECT_EQ((std::vector<std::uint32_t>{7000}), numbersOf("9060"));
}

TEST(ComplianceIdsTest, IdsAreExactTexts) {
  Qmsg::add("9070:1");
  testing::internal::CaptureStderr();
  EXPECT_EQ(0u, Qmsg::get_msg("70", 1));
  EXPECT_EQ(0u, Qmsg::get_msg("9070 ", 1));
  EXPECT_EQ("Qmsg::get_msg: 70 not in table.\nQmsg::get_msg: 9070  not in table.\n",
            testing::internal::GetCapturedStderr());
}

TEST(ComplianceIdsTest, EntriesWithoutNumbersAreIgnored) {
  for (const char *entry : {"9080", "9081:", ""})
    Qmsg::add(entry);
  testing::internal::CaptureStderr();
  for (const char *id : {"9080", "9081"})
    EXPECT_EQ(0u, Qmsg::get_msg(id, 1)) << id;
  EXPECT_EQ("Qmsg::get_msg: 9080 not in table.\nQmsg::get_msg: 9081 not in table.\n",
            testing::internal::GetCapturedStderr());
}

TEST(ComplianceIdsTest, APositionOutsideTheNumbersOfAnIdGivesZeroSilently) {
  Qmsg::add("9090:5;6");
  testing::internal::CaptureStderr();
  EXPECT_EQ(0u, Qmsg::get_msg("9090", 0));
  EXPECT_EQ(0u, Qmsg::get_msg("9090", 3));
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

} // namespace
