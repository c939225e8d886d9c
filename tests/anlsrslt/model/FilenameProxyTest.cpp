#include "anlsrslt/model/FilenameProxy.h"

#include "foundation/StringStore.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::CurrentDirectory;
using test_support::ScratchDirectory;

TEST(FilenameProxyTest, EverySpellingOfOneFileGivesOneProxyNamedCanonically) {
  ScratchDirectory scratch;
  scratch.makeDirectory("src");
  const std::string absolute = scratch / "src/a.c";
  scratch.writeFile("src/a.c");
  CurrentDirectory inScratch(scratch.path());

  const U_RefPtr<FilenameProxy> first = P_filenameProxyFor(QL_Filename::fromPath("src/a.c"));
  ASSERT_TRUE(first.isSet());
  EXPECT_STREQ(absolute.c_str(), first->name()) << "the canonical text, not the text first seen";
  EXPECT_EQ(internString(absolute.c_str()), first->name()) << "the name is interned";
  EXPECT_EQ("src/a.c", first->filename().given().str()) << "the identity it was made for";

  for (const std::string &spelling :
       {absolute, std::string("./src/a.c"), std::string("src\\a.c"), std::string("src/../src/a.c")}) {
    const U_RefPtr<FilenameProxy> again = P_filenameProxyFor(QL_Filename::fromPath(spelling));
    EXPECT_EQ(first, again) << spelling;
    EXPECT_EQ("src/a.c", P_filenameOf(again).given().str()) << spelling;
  }
  EXPECT_NE(first, P_filenameProxyFor(QL_Filename::fromPath("src/b.c")));
}

TEST(FilenameProxyTest, ProxyOutlivesEveryOutsideHandle) {
  const QL_Filename file("/proxy/kept.c", "kept.c");
  const char *name = nullptr;
  const FilenameProxy *address = nullptr;
  {
    U_RefPtr<FilenameProxy> proxy = P_filenameProxyFor(file);
    name = P_filenameTextOf(proxy);
    address = proxy.pointer();
    EXPECT_EQ(2u, proxy->referenceCount()) << "this handle and the one the run keeps";
  }
  const U_RefPtr<FilenameProxy> again = P_filenameProxyFor(file);
  EXPECT_EQ(address, again.pointer());
  EXPECT_EQ(name, again->name());
  EXPECT_STREQ("/proxy/kept.c", name);
}

TEST(FilenameProxyTest, ProxiesOrderByFirstInterningOfTheirNames) {
  // Interned in this order, against the order of the texts.
  const U_RefPtr<FilenameProxy> later = P_filenameProxyFor(QL_Filename("/order/zz-first.c", "zz-first.c"));
  const U_RefPtr<FilenameProxy> earlier =
      P_filenameProxyFor(QL_Filename("/order/aa-second.c", "aa-second.c"));
  const U_RefPtr<FilenameProxy> unset;
  EXPECT_TRUE(isFilenameProxyLess(later, earlier));
  EXPECT_FALSE(isFilenameProxyLess(earlier, later));
  EXPECT_FALSE(isFilenameProxyLess(later, later));
  EXPECT_TRUE(isFilenameProxyLess(unset, later));
  EXPECT_FALSE(isFilenameProxyLess(later, unset));
  EXPECT_FALSE(isFilenameProxyLess(unset, unset));
}

TEST(FilenameProxyTest, UnsetHandleHasNoNameAndNoIdentity) {
  const U_RefPtr<FilenameProxy> unset;
  EXPECT_STREQ("", P_filenameTextOf(unset));
  EXPECT_FALSE(P_filenameOf(unset).canonical().isSet());
}

} // namespace
