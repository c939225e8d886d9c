// Suppression regions opened and closed by pragmas in the sources, and the
// question the output path asks of them: is a message number suppressed by a
// pragma at a location?
#pragma once

#include <cstdint>

class U_Location;

// The one pragma-suppression state of the process. Nothing adds regions to it
// yet, so it stays empty and every query answers false at once.
class PragmaSuppressState {
public:
  // The state, built empty on first use and kept to the end of the process.
  static PragmaSuppressState &instance();

  PragmaSuppressState(const PragmaSuppressState &) = delete;
  PragmaSuppressState &operator=(const PragmaSuppressState &) = delete;

  // Whether a region that applies to the number contains the location. An
  // empty state answers false without looking at the location, which may be
  // null.
  bool isSuppressed(std::uint32_t number, const U_Location &location) const;

private:
  PragmaSuppressState() = default;
};

// Registers the record handlers that collect the pragma regions. Called once
// per run by the driver before the first input file is read; it registers
// nothing.
void registerPragmaSuppressHandlers();
