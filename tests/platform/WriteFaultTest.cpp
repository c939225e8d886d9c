#include "platform/WriteFault.h"

#include "support/ScratchDirectory.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

std::string describe(const platform::WriteFault &fault) {
  return "fail-after " + std::to_string(fault.bytesBeforeFailure) + ", close-fails " +
         std::to_string(fault.closeFails) + ", stop-after " + std::to_string(fault.bytesBeforeStop) +
         ", cut-fails " + std::to_string(fault.cutFails) + ", cut-sync-fails " +
         std::to_string(fault.cutSyncFails) + ", directory-sync-fails " +
         std::to_string(fault.directorySyncFails) + ", stop-after-cut " + std::to_string(fault.stopAfterCut) +
         ", pause-after " + std::to_string(fault.bytesBeforePause) + ", pause-before-write " +
         std::to_string(fault.pauseBeforeWrite) + ", pause-after-write " +
         std::to_string(fault.pauseAfterWrite) + ", pause-at-exit " + std::to_string(fault.pauseAtExit) +
         ", no-unnamed-files " + std::to_string(fault.noUnnamedFiles);
}

TEST(WriteFaultTest, FromEnvironment) {
  if (!platform::writeFaultHookBuiltIn())
    GTEST_SKIP() << "a build without the test hooks reads no fault";
  using Fault = platform::WriteFault;
  const struct {
    std::optional<std::string> value;
    std::optional<Fault> fault;
  } cases[] = {
      {std::nullopt, std::nullopt},
      {"", std::nullopt},
      {"fail-after=12", Fault{.bytesBeforeFailure = 12}},
      {"fail-after=0", Fault{.bytesBeforeFailure = 0}},
      {"stop-after=34", Fault{.bytesBeforeStop = 34}},
      {"close-fails", Fault{.closeFails = true}},
      {"cut-fails", Fault{.cutFails = true}},
      {"cut-sync-fails", Fault{.cutSyncFails = true}},
      {"directory-sync-fails", Fault{.directorySyncFails = true}},
      {"stop-after-cut", Fault{.stopAfterCut = true}},
      {"pause-after=5", Fault{.bytesBeforePause = 5}},
      {"pause-before-write", Fault{.pauseBeforeWrite = true}},
      {"pause-after-write", Fault{.pauseAfterWrite = true}},
      {"pause-at-exit", Fault{.pauseAtExit = true}},
      {"no-unnamed-files", Fault{.noUnnamedFiles = true}},
      {"fail-after=1,stop-after=2,close-fails,cut-fails",
       Fault{.bytesBeforeFailure = 1, .closeFails = true, .bytesBeforeStop = 2, .cutFails = true}},
      {"stop-after-cut,directory-sync-fails,cut-sync-fails",
       Fault{.cutSyncFails = true, .directorySyncFails = true, .stopAfterCut = true}},
      {"cut-fails,stop-after=18446744073709551615", Fault{.cutFails = true}},
      {"disk-full", std::nullopt},
      {"cut-fails,disk-full", std::nullopt},
      {"fail-after", std::nullopt},
      {"fail-after=", std::nullopt},
      {"fail-after=x", std::nullopt},
      {"fail-after=12x", std::nullopt},
      {"fail-after=-1", std::nullopt},
      {"fail-after= 12", std::nullopt},
      {"fail-after=18446744073709551616", std::nullopt},
      {"close-fails=1", std::nullopt},
      {"stop-after-cut=1", std::nullopt},
      {"pause-at-exit=1", std::nullopt},
      {"pause-after", std::nullopt},
      {"Close-fails", std::nullopt},
      {"close-fails,,cut-fails", std::nullopt},
      {",close-fails", std::nullopt},
      {"close-fails,", std::nullopt},
  };
  for (const auto &c : cases) {
    const std::string value = c.value ? "\"" + *c.value + "\"" : "unset";
    const test_support::EnvironmentVariable variable("LYRSA_VOKT_TEST_WRITE_FAULT", c.value);
    const std::optional<Fault> fault = platform::writeFaultFromEnvironment();
    ASSERT_EQ(c.fault.has_value(), fault.has_value()) << value;
    if (fault) {
      EXPECT_EQ(describe(*c.fault), describe(*fault)) << value;
    }
  }
}

} // namespace
