// The driver function's report and exit code for each kind of failure that
// leaves an application's run, through a test application.
#include "app/RunApp.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "app/App.h"
#include "app/OrphanFileHandler.h"
#include "checks/SourceRescanExit.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/Assertion.h"
#include "foundation/Exception.h"
#include "support/ScratchDirectory.h"

#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>

namespace {

using test_support::EnvironmentVariable;

const std::string contactLines =
    "Please notify Vennacore <see the README of lyrsa_vokt for where to report "
    "problems>\nattaching a code example that causes the problem, if possible.\n";

// Runs the given work and shows its usage text on standard error.
class TestApp : public QL_App {
public:
  explicit TestApp(std::function<int()> work) : QL_App("test banner\n"), m_work(std::move(work)) {}
  int run() override { return m_work(); }
  C_OrphanHandler &orphanHandler() override { return m_files; }
  void usage() override { std::cerr << "usage of the test application\n"; }

private:
  std::function<int()> m_work;
  C_OrphanFileHandler m_files;
};

constexpr unsigned throwingAssertionLine = __LINE__ + 2;
int failThrowingAssertion() {
  U_ASSERT_THROW(1 + 1 == 3);
  return 0;
}

struct Outcome {
  int exitCode;
  std::string out;
  std::string err;
};

class RunAppTest : public testing::Test {
protected:
  Outcome run(std::function<int()> work) {
    const char *const words[] = {"lyr", "a.c"};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int exitCode = runApp(2, words, new TestApp(std::move(work)));
    std::string err = testing::internal::GetCapturedStderr();
    return {exitCode, testing::internal::GetCapturedStdout(), err};
  }

  test_support::ScratchDirectory m_home;
  EnvironmentVariable m_bin{"LYRBIN", std::string(LYR_TEST_DATA_DIR) + "/installation"};
  EnvironmentVariable m_homeVariable{"HOME", m_home.path()};
  EnvironmentVariable m_rcPath{"LYRRCPATH", std::nullopt};
};

TEST_F(RunAppTest, EachFailureKindHasItsReportAndExitCode) {
  struct Case {
    const char *name;
    std::function<int()> work;
    std::string err;
    int exitCode;
  };
  const Case cases[] = {
      {"configuration error", []() -> int { throw C_ConfigurationException("ERROR: bad setting\n"); },
       "ERROR: bad setting\nusage of the test application\n", 10},
      {"configuration error whose text has no line end: the usage starts a line of its own",
       []() -> int { throw C_ConfigurationException("Cannot open file: '/x/a.c.met'."); },
       "Cannot open file: '/x/a.c.met'.\nusage of the test application\n", 10},
      {"configuration error with its own exit code",
       []() -> int { throw C_ConfigurationException(12, "ERROR: bad setting\n"); },
       "ERROR: bad setting\nusage of the test application\n", 12},
      {"invalid option value, a configuration error kind",
       []() -> int { throw C_InvalidArgValueException("tabstop", "x"); },
       C_InvalidArgValueException("tabstop", "x").what() + std::string("usage of the test application\n"),
       10},
      {"throwing assertion", failThrowingAssertion,
       "Assertion at RunAppTest.cpp:" + std::to_string(throwingAssertionLine) +
           ": Assertion '1 + 1 == 3' failed.\n",
       18},
      {"user error", []() -> int { throw U_UserException("ERROR: the user's fault"); },
       "ERROR: the user's fault\n", 18},
      {"result file that reaches the frame",
       []() -> int { throw P_FileOpenException(QL_Filename::fromPath("/x/a.c.met")); },
       "PostAnalysis FileOpenException\n", 18},
      {"re-scan of a source that cannot be read, without the usage text",
       []() -> int { throw P_SourceRescanExit("cannot open file /x/a.h\n"); }, "cannot open file /x/a.h\n",
       10},
      {"internal error", []() -> int { throw U_Exception(); },
       "An internal exception occured: don't know cause\n", 18},
      {"allocation failure", []() -> int { throw std::bad_alloc(); },
       "A system allocation exception (: std::bad_alloc) was detected.\n" + contactLines, 19},
      {"system exception", []() -> int { throw std::runtime_error("disk on fire"); },
       "A system exception (disk on fire) was detected.\n" + contactLines, 19},
      {"anything else", []() -> int { throw 17; }, "An unrecognised exception was detected.\n" + contactLines,
       19},
      {"no failure", []() -> int { return 0; }, "", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = run(c.work);
    EXPECT_EQ(c.err, outcome.err);
    EXPECT_EQ("", outcome.out);
    EXPECT_EQ(c.exitCode, outcome.exitCode);
  }
}

TEST_F(RunAppTest, TheApplicationGetsTheParsedArgumentSetAndOnlyTheLastHandleDestroysIt) {
  struct Probe : TestApp {
    using TestApp::TestApp;
    ~Probe() override { *destroyed = true; }
    bool *destroyed = nullptr;
  };
  bool destroyed = false;
  U_RefPtr<QL_App> app;
  Probe *probe = new Probe([&]() {
    EXPECT_TRUE(app->cmdArgs().isSet());
    return 7;
  });
  probe->destroyed = &destroyed;
  app = probe;
  const char *const words[] = {"lyr", "a.c"};
  EXPECT_EQ(7, runApp(2, words, app));
  EXPECT_FALSE(destroyed);
  app.clear();
  EXPECT_TRUE(destroyed);
}

TEST(BannerTest, VersionWordsAfterTheProductWordWriteTheBannerOnce) {
  struct Case {
    std::vector<const char *> words;
    std::string out;
  };
  const Case cases[] = {
      {{"lyr", "-VERSION", "-ver", "a.c"}, "B\n"},
      {{"lyr", "-vEr"}, "B\n"},
      {{"-ver", "a.c"}, ""}, // the product word is never looked at
      {{"lyr", "-ve", "-v", "a.c"}, ""},
      {{"lyr", "--ver", "ver"}, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.words.size());
    resetBannerWritten();
    testing::internal::CaptureStdout();
    printBannerOnVersionArg(static_cast<int>(c.words.size()), c.words.data(), "B\n");
    EXPECT_EQ(c.out, testing::internal::GetCapturedStdout());
  }
  testing::internal::CaptureStdout();
  printBannerOnce("B\n");
  printHelp("B\n");
  EXPECT_EQ("B\nReturn codes: \n", testing::internal::GetCapturedStdout().substr(0, 17));
}

// Every exit code that a run can end with has its line among the return codes
// of the help.
TEST(HelpTest, ListsEveryExitCode) {
  const TestApp app([] { return 0; });
  const struct Case {
    const char *what;
    int code;
  } cases[] = {
      {"success", app.successExitCode()},
      {"configuration error", app.configurationErrorExitCode()},
      {"user error", app.userErrorExitCode()},
      {"system error", app.systemErrorExitCode()},
      {"allocation error", app.allocationErrorExitCode()},
  };
  testing::internal::CaptureStdout();
  printHelp("B\n");
  const std::string help = testing::internal::GetCapturedStdout();
  for (const Case &c : cases)
    EXPECT_NE(std::string::npos, help.find("\n  " + std::to_string(c.code) + "  ")) << c.what << "\n" << help;
}

} // namespace
