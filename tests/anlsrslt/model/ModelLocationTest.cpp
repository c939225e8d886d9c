// Model locations: a location with the proxy of its file.
#include "anlsrslt/model/ModelLocation.h"

#include "support/Locations.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::at;

TEST(ModelLocationTest, NullLocationHasNoFileAndAllBitsSet) {
  const U_RefPtr<P_Location> location = new P_Location(U_Location());
  EXPECT_FALSE(location->m_file.isSet());
  EXPECT_EQ(0xFFFFFFFFu, static_cast<std::uint32_t>(location->m_line));
  EXPECT_EQ(0xFFFFFFFFu, static_cast<std::uint32_t>(location->m_column));
  EXPECT_FALSE(location->m_location.isSet());
}

TEST(ModelLocationTest, SetLocationGivesItsPositionAndTheProxyOfItsFile) {
  test_support::ScratchDirectory scratch;
  scratch.writeFile("a.c");
  test_support::CurrentDirectory inScratch(scratch.path());

  // The location names its file in its own words; the proxy is the file's one.
  const U_Location written = at("./a.c", 7, -3);
  const U_RefPtr<P_Location> location = new P_Location(written);
  EXPECT_EQ(7, location->m_line);
  EXPECT_EQ(-3, location->m_column) << "stored as the location has it";
  EXPECT_EQ(written, location->m_location) << "the location itself, not a copy";
  EXPECT_EQ(P_filenameProxyFor(QL_Filename::fromPath(scratch / "a.c")), location->m_file);
  EXPECT_STREQ((scratch / "a.c").c_str(), location->m_file->name());
}

TEST(ModelLocationTest, HoldsItsFileAndLocationUntilItGoes) {
  const U_Location written = at("/model-location/held.c", 1, 1);
  const U_RefPtr<FilenameProxy> proxy = P_filenameProxyFor(written.getFile());
  const std::uint32_t proxyCount = proxy->referenceCount();
  {
    const U_RefPtr<P_Location> first = new P_Location(written);
    const U_RefPtr<P_Location> second = new P_Location(written);
    EXPECT_NE(first, second) << "not uniqued here";
    EXPECT_EQ(first->m_file, second->m_file) << "one proxy for the file";
    EXPECT_EQ(proxyCount + 2, proxy->referenceCount());
    EXPECT_EQ(3u, written.data()->referenceCount());
  }
  EXPECT_EQ(proxyCount, proxy->referenceCount()) << "released with the last handle of each";
  EXPECT_EQ(1u, written.data()->referenceCount());
}

} // namespace
