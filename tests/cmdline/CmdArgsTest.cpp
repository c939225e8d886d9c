#include "cmdline/CmdArgs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(CmdArgsTest, ValidProductGetsOptionsAndWords) {
  const char *words[] = {"-deb", "log", "a.c"};
  const C_CmdArgs args("lyrpp", 3, words);
  EXPECT_TRUE(args.product().isValid());
  EXPECT_EQ(0, args.product().index());
  ASSERT_NE(nullptr, args.options());
  EXPECT_TRUE(args.options()->debug().values().empty());
  EXPECT_EQ((std::vector<std::string>{"-deb", "log", "a.c"}), args.words());
  EXPECT_EQ("lyrpp", C_currentProduct()->name());
}

TEST(CmdArgsTest, InvalidProductHasNeitherOptionsNorWords) {
  const char *words[] = {"a.c"};
  const C_CmdArgs args("lyrc", 1, words);
  EXPECT_FALSE(args.product().isValid());
  EXPECT_EQ(nullptr, args.options());
  EXPECT_TRUE(args.words().empty());
  U_RefPtr<C_CmdArgs> handle(new C_CmdArgs(args));
  EXPECT_FALSE(C_CmdArgs::hasDebugFlag(handle, "log"));
}

TEST(CmdArgsTest, WordCounts) {
  const char *words[] = {"x", nullptr};
  EXPECT_TRUE(C_CmdArgs("lyr", 0, words).words().empty());
  EXPECT_TRUE(C_CmdArgs("lyr", -3, words).words().empty());
  EXPECT_TRUE(C_CmdArgs("lyr", 2, nullptr).words().empty());
  EXPECT_EQ((std::vector<std::string>{"x", ""}), C_CmdArgs("lyr", 2, words).words());
  C_CmdArgs args("lyr", 1, words);
  args.addWords(1, words);
  EXPECT_EQ((std::vector<std::string>{"x", "x"}), args.words());
}

TEST(CmdArgsTest, CopyOwnsItsOptionsAndLeavesTheCurrentProduct) {
  const char *words[] = {"f.c"};
  C_CmdArgs original("kef", 1, words);
  original.options()->debug().add("log");
  const C_Product changed("duv");
  const C_CmdArgs copy(original);
  EXPECT_EQ(3, C_currentProduct()->index()); // copying did not make kef current
  EXPECT_EQ(2, copy.product().index());
  EXPECT_EQ(original.words(), copy.words());
  ASSERT_NE(nullptr, copy.options());
  EXPECT_NE(original.options(), copy.options());
  original.options()->debug().forget();
  EXPECT_EQ((std::vector<std::string>{"log"}), copy.options()->debug().values());
  EXPECT_EQ(0u, copy.referenceCount());
}

TEST(CmdArgsTest, CurrentArgumentSetIsACopy) {
  C_CmdArgs args("lyr", 0, nullptr);
  args.options()->debug().add("textoutput");
  C_setCurrentCmdArgs(args);
  C_CmdArgs *current = C_currentCmdArgs();
  ASSERT_NE(nullptr, current);
  EXPECT_NE(&args, current);
  EXPECT_EQ(1u, current->referenceCount());
  EXPECT_EQ((std::vector<std::string>{"textoutput"}), current->options()->debug().values());

  U_RefPtr<C_CmdArgs> handle(current);
  C_setCurrentCmdArgs(C_CmdArgs("kef", 0, nullptr));
  EXPECT_NE(current, C_currentCmdArgs());
  EXPECT_EQ(1u, handle->referenceCount()); // the old set lost the current set's count
  EXPECT_TRUE(C_CmdArgs::hasDebugFlag(handle, "textoutput"));
  EXPECT_FALSE(C_CmdArgs::hasDebugFlag(handle, "simpleoutput"));
  EXPECT_FALSE(C_CmdArgs::hasDebugFlag(U_RefPtr<C_CmdArgs>(), "textoutput"));
}

} // namespace
