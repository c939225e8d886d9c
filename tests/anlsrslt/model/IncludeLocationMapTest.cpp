#include "anlsrslt/model/IncludeLocationMap.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"

#include <gtest/gtest.h>
#include <string>

namespace {

U_RefPtr<FilenameProxy> proxyOf(const std::string &path) {
  return P_filenameProxyFor(QL_Filename::fromPath(path));
}

P_CountedPtr<P_IncludeRecord> includeRecord(const std::string &from, const std::string &to,
                                            std::int32_t line) {
  P_CountedPtr<P_IncludeRecord> record = P_makeCounted<P_IncludeRecord>();
  record->m_from = proxyOf(from);
  record->m_to = proxyOf(to);
  record->m_line = line;
  return record;
}

// "file:line" of the location and of each include location after it.
std::string chainOf(U_Location location) {
  std::string text;
  for (; location.isSet(); location = location.hasInclLoc() ? location.getInclLoc() : U_Location())
    text += (text.empty() ? "" : " < ") + location.getFile().canonical().str() + ":" +
            std::to_string(location.getLine()) + ":" + std::to_string(location.getColumn());
  return text;
}

TEST(IncludeLocationMapTest, TheFirstIncludeOfAFileStaysAndCarriesWhereItsIncluderWasIncluded) {
  P_IncludeLocations map;
  P_recordIncludeLocation(map, includeRecord("/incl/main.c", "/incl/a.h", 3));
  P_recordIncludeLocation(map, includeRecord("/incl/a.h", "/incl/b.h", 7));
  P_recordIncludeLocation(map, includeRecord("/incl/other.c", "/incl/a.h", 9));
  P_recordIncludeLocation(map, includeRecord("/incl/lost.h", "/incl/c.h", 2));

  const auto at = [&map](const std::string &path) {
    return chainOf(P_lookupIncludeLocation(map, proxyOf(path)->name()));
  };
  EXPECT_EQ("/incl/main.c:3:0", at("/incl/a.h")) << "the first record stays";
  EXPECT_EQ("/incl/a.h:7:0 < /incl/main.c:3:0", at("/incl/b.h"));
  EXPECT_EQ("/incl/lost.h:2:0", at("/incl/c.h")) << "an includer without a location: a plain location";
  EXPECT_EQ("", at("/incl/main.c"));
  EXPECT_FALSE(P_lookupIncludeLocation(map, nullptr).isSet());
  EXPECT_EQ(3u, map.size());

  // A record without both files records nothing; the run's map is one map.
  P_CountedPtr<P_IncludeRecord> empty = P_makeCounted<P_IncludeRecord>();
  P_recordIncludeLocation(map, empty);
  EXPECT_EQ(3u, map.size());
  EXPECT_EQ(&P_includeLocationMap(), &P_includeLocationMap());
}

} // namespace
