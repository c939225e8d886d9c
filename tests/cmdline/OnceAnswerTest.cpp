// Answers computed once per process, and the test support that starts them
// afresh.
#include "cmdline/OnceAnswer.h"
#include "support/OnceAnswerReset.h"

#include <gtest/gtest.h>
#include <string>

namespace {

int computed = 0;
std::string source = "first";

std::string compute() {
  ++computed;
  return source;
}

TEST(OnceAnswerTest, ComputedAtFirstUseAndKeptUntilTheTestSupportResetsIt) {
  C_OnceAnswer<std::string> answer(compute);
  C_OnceAnswer<std::string> other(compute);
  EXPECT_EQ(0, computed);
  EXPECT_EQ("first", answer.get());
  source = "second";
  EXPECT_EQ("first", answer.get());
  EXPECT_EQ("second", other.get());
  EXPECT_EQ(2, computed);

  const std::uint64_t generation = C_OnceAnswers::generation();
  test_support::OnceAnswerReset::resetAll();
  EXPECT_NE(generation, C_OnceAnswers::generation());
  EXPECT_EQ("second", answer.get());
  EXPECT_EQ("second", other.get());
  EXPECT_EQ("second", answer.get());
  EXPECT_EQ(4, computed);
}

} // namespace
