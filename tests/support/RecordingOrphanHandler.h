// Test helper: an orphan handler that keeps every word it is given.
#pragma once

#include "cmdline/OrphanHandler.h"

#include <string>
#include <vector>

namespace test_support {

class RecordingOrphanHandler : public C_OrphanHandler {
public:
  void handle(C_CmdArgs &, const std::string &word) override { words.push_back(word); }
  bool isEmpty() const override { return words.empty(); }

  std::vector<std::string> words;
};

} // namespace test_support
