#include "foundation/Ref.h"
#include "support/SmallStack.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// An object that holds others and notes its name when it goes.
struct Holder : U_Ref {
  static std::string gone;
  Holder(char name, std::vector<U_RefPtr<Holder>> held) : m_name(name), m_held(std::move(held)) {}
  ~Holder() override { gone += m_name; }
  char m_name;
  std::vector<U_RefPtr<Holder>> m_held; // released first to last
};
std::string Holder::gone;

// Objects released by a deletion go after it, yet in the order that
// deletions one inside the other would take: each holder, then all it held,
// depth first. An object still held elsewhere stays.
TEST(RefTest, ADeletionReleasesWhatItHeldInNestedOrder) {
  Holder::gone.clear();
  U_RefPtr<Holder> kept(new Holder('K', {}));
  U_RefPtr<Holder> d(new Holder('D', {}));
  U_RefPtr<Holder> b(new Holder('B', {d, kept}));
  U_RefPtr<Holder> e(new Holder('E', {}));
  U_RefPtr<Holder> c(new Holder('C', {e}));
  U_RefPtr<Holder> a(new Holder('A', {b, c}));
  b.reset();
  c.reset();
  d.reset();
  e.reset();
  EXPECT_EQ("", Holder::gone);
  a.reset();
  EXPECT_EQ("ABDCE", Holder::gone);
  EXPECT_EQ(1u, kept->referenceCount());
}

// A chain of 100000 objects, each holding the next, goes with its last
// handle on a stack far too small for one nested deletion per object.
TEST(RefTest, ALongChainGoesWithoutNestedDeletions) {
  test_support::runWithStack(256 * 1024, [] {
    Holder::gone.clear();
    U_RefPtr<Holder> chain;
    for (int i = 0; i < 100000; ++i)
      chain = new Holder(i == 0 ? 'z' : 'x', {chain});
    chain.reset();
    EXPECT_EQ(100000u, Holder::gone.size());
    EXPECT_EQ('z', Holder::gone.back());
  });
}

} // namespace
