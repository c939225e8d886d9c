// Whether a run analyses one input file or several with a cross-module file.
#pragma once

#include <cstdint>

enum P_AnalysisMode : std::uint32_t {
  eamSingleFile = 1, // exactly one input file
  eamMultiFile = 2,  // input files together with the cross-module analysis file
};
