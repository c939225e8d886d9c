#include "anlsrslt/suppression/PragmaSuppression.h"

PragmaSuppressState &PragmaSuppressState::instance() {
  static PragmaSuppressState state;
  return state;
}

bool PragmaSuppressState::isSuppressed(std::uint32_t, const U_Location &) const {
  // The state holds no regions.
  return false;
}

void registerPragmaSuppressHandlers() {}
