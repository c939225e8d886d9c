// The bits of the parts byte of a location record: which parts follow. The
// parts follow in the order include, macro history, shown file and line,
// instantiated-from, called-from, which is not the order of their bits.
#pragma once

#include <cstdint>

enum R_LocationPart : std::uint8_t {
  R_includePart = 1,
  R_instantiationPart = 2,
  R_macroPart = 4,
  R_shownPart = 8,
  R_calledFromPart = 16,
};
