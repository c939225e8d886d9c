#include "resultfiles/EntityDisplayName.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(EntityDisplayNameTest, EveryRenderingIsTheTextGiven) {
  const std::string texts[] = {"vector<int>::push_back(const int&)", "", std::string("\xA4\xA2", 2)};
  for (const std::string &text : texts) {
    std::string source = text;
    U_RefPtr<U_EntityDisplayName> name = makeEntityDisplayName(source);
    source += "changed";
    ASSERT_TRUE(name.isSet());
    EXPECT_EQ(1u, name->referenceCount());
    EXPECT_EQ(text, name->text());
    EXPECT_EQ(text, name->text2());
    EXPECT_EQ(text, name->text3());
    EXPECT_EQ(text, name->text4());
    EXPECT_EQ(text, name->text5());
  }
}

TEST(EntityDisplayNameTest, EachCallMakesItsOwnObject) {
  U_RefPtr<U_EntityDisplayName> a = makeEntityDisplayName("f");
  U_RefPtr<U_EntityDisplayName> b = makeEntityDisplayName("f");
  EXPECT_NE(a, b);
  U_RefPtr<U_EntityDisplayName> copy = a;
  EXPECT_EQ(2u, a->referenceCount());
  copy.reset();
  EXPECT_EQ(1u, a->referenceCount());
}

} // namespace
