// The pragma-suppression state as the output path meets it: empty, so no
// number is suppressed anywhere.
#include "anlsrslt/suppression/PragmaSuppression.h"
#include "foundation/Location.h"
#include "support/Locations.h"

#include <gtest/gtest.h>

namespace {

TEST(PragmaSuppressionTest, TheEmptyStateSuppressesNothing) {
  PragmaSuppressState &state = PragmaSuppressState::instance();
  EXPECT_EQ(&state, &PragmaSuppressState::instance());
  const U_Location located = test_support::at("/p/a.c", 3, 1);
  for (const std::uint32_t number : {0u, 1540u, 4294967295u}) {
    SCOPED_TRACE(number);
    EXPECT_FALSE(state.isSuppressed(number, located));
    EXPECT_FALSE(state.isSuppressed(number, U_Location()));
  }
}

} // namespace
