#include "foundation/Ref.h"

#include <gtest/gtest.h>

namespace {

// Counts live objects so that the tests see exactly when deletion happens.
struct Tracked : U_Ref {
  static int alive;
  Tracked() { ++alive; }
  Tracked(const Tracked &other) : U_Ref(other) { ++alive; }
  ~Tracked() override { --alive; }
};
int Tracked::alive = 0;

struct Derived : Tracked {};

TEST(RefTest, NullHandleIsUnsetAndChangesNothing) {
  U_RefPtr<Tracked> empty(nullptr);
  EXPECT_FALSE(empty.isSet());
  U_RefPtr<Tracked> copy(empty);
  copy = empty;
  copy = static_cast<Tracked *>(nullptr);
  EXPECT_FALSE(copy.isSet());
  EXPECT_EQ(copy, empty);
}

TEST(RefTest, ObjectLivesUntilLastHandleGoes) {
  Tracked::alive = 0;
  {
    U_RefPtr<Tracked> first(new Tracked);
    {
      U_RefPtr<Tracked> second(first);
      EXPECT_EQ(2u, first->referenceCount());
    }
    EXPECT_EQ(1, Tracked::alive);
    EXPECT_EQ(1u, first->referenceCount());
  }
  EXPECT_EQ(0, Tracked::alive);
}

TEST(RefTest, SelfAssignmentAndTakeOfSameObjectKeepIt) {
  Tracked::alive = 0;
  U_RefPtr<Tracked> handle(new Tracked);
  U_RefPtr<Tracked> &alias = handle;
  handle = alias;
  handle = handle.pointer();
  EXPECT_EQ(1, Tracked::alive);
  EXPECT_EQ(1u, handle->referenceCount());
  handle.take(handle);
  EXPECT_EQ(1, Tracked::alive);
  EXPECT_EQ(1u, handle->referenceCount());
  handle.reset();
  EXPECT_FALSE(handle.isSet());
  EXPECT_EQ(0, Tracked::alive);
}

TEST(RefTest, TakeReleasesTheOldObject) {
  Tracked::alive = 0;
  U_RefPtr<Tracked> handle(new Tracked);
  Tracked *second = new Tracked;
  handle.take(U_RefPtr<Tracked>(second));
  EXPECT_EQ(second, handle.pointer());
  EXPECT_EQ(1u, second->referenceCount());
  EXPECT_EQ(1, Tracked::alive);
}

TEST(RefTest, SwapKeepsCounts) {
  U_RefPtr<Tracked> a(new Tracked), b(new Tracked);
  Tracked *pa = a.pointer();
  Tracked *pb = b.pointer();
  a.swap(b);
  EXPECT_EQ(pb, a.pointer());
  EXPECT_EQ(pa, b.pointer());
  EXPECT_EQ(1u, a->referenceCount());
  EXPECT_EQ(1u, b->referenceCount());
}

TEST(RefTest, CopyOfObjectStartsWithZeroCountAndMarker) {
  U_RefPtr<Tracked> handle(new Tracked);
  Tracked copy(*handle);
  EXPECT_EQ(0u, copy.referenceCount());
  EXPECT_EQ(4711, copy.marker());
}

TEST(RefTest, HandlesCompareByAddress) {
  U_RefPtr<Tracked> a(new Tracked), b(new Tracked);
  U_RefPtr<Tracked> a2(a);
  EXPECT_TRUE(a == a2);
  EXPECT_TRUE(a != b);
  EXPECT_EQ(a.pointer() < b.pointer(), a < b);
  EXPECT_NE(a < b, b < a);
}

TEST(RefTest, DerivedHandleConvertsToBaseHandle) {
  Tracked::alive = 0;
  U_RefPtr<Derived> derived(new Derived);
  U_RefPtr<Tracked> base(derived);
  EXPECT_EQ(2u, base->referenceCount());
  derived.reset();
  EXPECT_EQ(1, Tracked::alive);
  base.clear();
  EXPECT_EQ(0, Tracked::alive);
}

} // namespace
