// The process's resident size, as the benchmarks that report memory read it.
#pragma once

#include <fstream>
#include <string>

namespace bench_support {

// A figure of /proc/self/status in MiB ("VmHWM", "VmRSS").
inline double statusMiB(const std::string &key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.compare(0, key.size() + 1, key + ":") == 0)
      return std::stod(line.substr(key.size() + 1)) / 1024.0;
  return 0;
}

// Starts the peak resident size afresh at the current size.
inline void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

} // namespace bench_support
