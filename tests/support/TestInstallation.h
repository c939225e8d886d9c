// An empty product installation for a whole test binary: the text
// conversions read the product's language from its installation directory,
// which a run always has. Tests that need another installation, or none,
// set the variable themselves for their own scope.
#pragma once

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace test_support {

class TestInstallation : public testing::Environment {
public:
  void SetUp() override {
    m_directory = std::make_unique<ScratchDirectory>();
    for (const char *variable : {"LYRBIN", "LYRPPBIN", "KEFBIN", "DUVBIN"})
      m_bins.push_back(std::make_unique<EnvironmentVariable>(variable, m_directory->path()));
  }
  void TearDown() override {
    m_bins.clear();
    m_directory.reset();
  }

private:
  std::unique_ptr<ScratchDirectory> m_directory;
  std::vector<std::unique_ptr<EnvironmentVariable>> m_bins;
};

// Registers the installation for the binary that includes this from one
// source file.
#define LYR_TEST_INSTALLATION()                                                                              \
  static testing::Environment *const lyrTestInstallation =                                                   \
      testing::AddGlobalTestEnvironment(new test_support::TestInstallation)

} // namespace test_support
