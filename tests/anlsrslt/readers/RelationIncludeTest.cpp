#include "anlsrslt/readers/RelationInclude.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "support/ListenerListsReset.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> events;

void first(const P_CountedPtr<P_IncludeRecord> &record) {
  events.push_back("first " + std::to_string(record->m_line));
}
void second(const P_CountedPtr<P_IncludeRecord> &) { events.push_back("second"); }

TEST(RelationIncludeTest, IncludeListenersAreCalledOnceEachInRegistrationOrder) {
  test_support::ListenerListsReset::resetAll();
  EXPECT_FALSE(isIncludeListener(first));
  registerIncludeListener(second);
  registerIncludeListener(first);
  registerIncludeListener(second);
  EXPECT_TRUE(isIncludeListener(first));
  P_CountedPtr<P_IncludeRecord> record = P_makeCounted<P_IncludeRecord>();
  record->m_line = 12;
  notifyIncludeListeners(record);
  EXPECT_EQ((std::vector<std::string>{"second", "first 12"}), events);
  test_support::ListenerListsReset::resetAll();
}

} // namespace
