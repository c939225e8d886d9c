// Scratch texts that a reader reuses from line to line, so that reading an
// ordinary line allocates nothing: the room they keep between lines.
#pragma once

#include <cstddef>
#include <string>

// More than an ordinary record or source line needs.
constexpr std::size_t U_scratchTextKeep = 64 * 1024;

// Gives back the room of a scratch text that a long line made grow past
// U_scratchTextKeep, so that one long line does not keep its size for the
// rest of the run. The text becomes empty then; otherwise it is unchanged.
inline void U_releaseLongScratch(std::string &scratch) {
  if (scratch.capacity() > U_scratchTextKeep)
    std::string().swap(scratch);
}
