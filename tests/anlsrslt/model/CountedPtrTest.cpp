#include "anlsrslt/model/CountedPtr.h"

#include "foundation/Ref.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

// A plain record that counts how often it is destroyed.
struct Record {
  static int destroyed;
  explicit Record(int value) : value(value) {}
  ~Record() { ++destroyed; }
  int value;
};
int Record::destroyed = 0;

class CountedPtrTest : public ::testing::Test {
protected:
  void SetUp() override { Record::destroyed = 0; }
};

void expectUnset(const P_CountedPtr<Record> &handle, const char *what) {
  EXPECT_FALSE(handle.isSet()) << what;
  EXPECT_EQ(nullptr, handle.block()) << what;
  EXPECT_EQ(0u, handle.useCount()) << what;
  EXPECT_EQ(nullptr, handle.pointer()) << what;
}

TEST_F(CountedPtrTest, CopiesShareOneCountAndTheLastReleaseDestroys) {
  P_CountedPtr<Record> first(new Record(7));
  EXPECT_EQ(1u, first.useCount());
  P_CountedPtr<Record> second(first);
  P_CountedPtr<Record> third(second);
  EXPECT_EQ(3u, first.useCount());
  EXPECT_EQ(first.block(), third.block());
  EXPECT_EQ(7, third->value);

  first.release();
  expectUnset(first, "first after its release");
  EXPECT_EQ(2u, second.useCount());
  second.release();
  expectUnset(second, "second after its release");
  EXPECT_EQ(0, Record::destroyed);
  EXPECT_EQ(1u, third.useCount());
  third.release();
  expectUnset(third, "third after the last release");
  EXPECT_EQ(1, Record::destroyed);

  // Releasing again, or destroying a released handle, does nothing.
  third.release();
  EXPECT_EQ(1, Record::destroyed);
}

TEST_F(CountedPtrTest, AssigningAHandleOfTheSameBlockChangesNoCount) {
  P_CountedPtr<Record> a(new Record(1));
  P_CountedPtr<Record> b(a);
  a = b;
  EXPECT_EQ(2u, a.useCount());
  P_CountedPtr<Record> &alias = a;
  a = alias;
  a = std::move(alias);
  EXPECT_EQ(2u, a.useCount());
  EXPECT_TRUE(a.isSet());
  EXPECT_EQ(0, Record::destroyed);
}

TEST_F(CountedPtrTest, AssignmentReleasesTheRecordHeldBefore) {
  P_CountedPtr<Record> a(new Record(1));
  P_CountedPtr<Record> b(new Record(2));
  P_CountedPtr<Record> keepsB(b);
  b = a;
  EXPECT_EQ(0, Record::destroyed) << "the record of b still has keepsB";
  EXPECT_EQ(2u, a.useCount());
  keepsB = a;
  EXPECT_EQ(1, Record::destroyed) << "the last handle of record 2 has gone";
  EXPECT_EQ(3u, a.useCount());
  EXPECT_EQ(1, keepsB->value);

  P_CountedPtr<Record> unset;
  keepsB = unset;
  expectUnset(keepsB, "assigned an unset handle");
  EXPECT_EQ(2u, a.useCount());
}

TEST_F(CountedPtrTest, MovingTransfersTheHandleWithoutCounting) {
  P_CountedPtr<Record> source(new Record(3));
  const auto *block = source.block();
  P_CountedPtr<Record> moved(std::move(source));
  expectUnset(source, "moved-from by construction");
  EXPECT_EQ(block, moved.block());
  EXPECT_EQ(1u, moved.useCount());

  P_CountedPtr<Record> target(new Record(4));
  target = std::move(moved);
  expectUnset(moved, "moved-from by assignment");
  EXPECT_EQ(1, Record::destroyed) << "the record target held before";
  EXPECT_EQ(3, target->value);
  EXPECT_EQ(1u, target.useCount());

  // Moving one of two handles of a block into the other leaves one handle.
  P_CountedPtr<Record> copy(target);
  target = std::move(copy);
  expectUnset(copy, "moved into a handle of its own block");
  EXPECT_EQ(1u, target.useCount());
  EXPECT_EQ(1, Record::destroyed);
}

TEST_F(CountedPtrTest, NullRecordGetsABlockButIsNotSet) {
  P_CountedPtr<Record> empty(static_cast<Record *>(nullptr));
  EXPECT_FALSE(empty.isSet());
  EXPECT_NE(nullptr, empty.block());
  EXPECT_EQ(1u, empty.useCount());
  P_CountedPtr<Record> copy(empty);
  EXPECT_EQ(2u, empty.useCount());
  EXPECT_EQ(copy, empty);
  // Two null records made apart have two blocks, so the handles differ.
  EXPECT_NE(P_CountedPtr<Record>(static_cast<Record *>(nullptr)), empty);
  empty.release();
  copy.release(); // frees the block (the leak checker would tell otherwise)
  EXPECT_EQ(0, Record::destroyed);
}

TEST_F(CountedPtrTest, HandlesCompareByBlock) {
  P_CountedPtr<Record> a(new Record(5));
  P_CountedPtr<Record> sameRecordCopy(a);
  P_CountedPtr<Record> other(new Record(5));
  EXPECT_EQ(a, sameRecordCopy);
  EXPECT_NE(a, other);
  EXPECT_EQ(P_CountedPtr<Record>(), P_CountedPtr<Record>());
  EXPECT_NE(P_CountedPtr<Record>(), a);
}

TEST_F(CountedPtrTest, MakeCountedBuildsTheRecordInItsOwnHandle) {
  {
    P_CountedPtr<Record> made = P_makeCounted<Record>(9);
    EXPECT_EQ(9, made->value);
    EXPECT_EQ(1u, made.useCount());
  }
  EXPECT_EQ(1, Record::destroyed);
}

// A counted object held through a pointer to its base is destroyed through
// its virtual destructor.
struct Edge : U_Ref {
  static int destroyed;
  ~Edge() override { ++destroyed; }
};
int Edge::destroyed = 0;
struct DerivedEdge : Edge {
  static int destroyed;
  ~DerivedEdge() override { ++destroyed; }
};
int DerivedEdge::destroyed = 0;

TEST_F(CountedPtrTest, ReferenceCountedRecordIsDestroyedThroughItsVirtualDestructor) {
  Edge::destroyed = DerivedEdge::destroyed = 0;
  {
    P_CountedPtr<Edge> edge(new DerivedEdge);
    P_CountedPtr<Edge> copy = edge;
    EXPECT_EQ(0u, edge->referenceCount()) << "the handle keeps its own count";
  }
  EXPECT_EQ(1, DerivedEdge::destroyed);
  EXPECT_EQ(1, Edge::destroyed);
}

} // namespace
