#include "foundation/CritBitMap.h"
#include "foundation/Exception.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <vector>

namespace {

TEST(CritBitMapTest, EmptyMapMissesWithLowestBitOfKey) {
  struct Case {
    std::uint64_t key;
    std::uint64_t mask;
  };
  const Case cases[] = {
      {1, 1}, {0x8, 0x8}, {0xF0, 0x10}, {0x100000000ull, 0x100000000ull}, {1ull << 63, 1ull << 63},
      {0, 0}, // key 0 is not the sentinel's entry
  };
  U_CritBitMap<int> map;
  for (const Case &c : cases) {
    const auto lookup = map.find(c.key);
    EXPECT_FALSE(lookup.found()) << c.key;
    EXPECT_EQ(c.mask, lookup.mask) << c.key;
  }
  EXPECT_EQ(0u, map.count());
}

TEST(CritBitMapTest, MissMaskIsLowestBitDifferingFromReachedKey) {
  U_CritBitMap<int> map;
  map.insert(0x10, 0x10, 16);
  // The search for 0x30 ends at 0x10's node: they differ first in bit 5.
  const auto miss = map.find(0x30);
  ASSERT_FALSE(miss.found());
  EXPECT_EQ(0x20u, miss.mask);
  map.insert(0x30, miss.mask, 48);
  EXPECT_EQ(2u, map.count());

  struct Case {
    std::uint64_t key;
    int value;
  };
  const Case present[] = {{0x10, 16}, {0x30, 48}};
  for (const Case &c : present) {
    const auto hit = map.find(c.key);
    ASSERT_TRUE(hit.found()) << c.key;
    EXPECT_EQ(c.value, *hit.value);
  }
  EXPECT_FALSE(map.find(0x50).found());
}

// Random keys, among them keys that agree in all 32 low bits, checked against
// std::map after every insertion.
TEST(CritBitMapTest, AgreesWithStdMapOnRandomKeys) {
  std::mt19937_64 random(7);
  U_CritBitMap<std::uint64_t> map;
  std::map<std::uint64_t, std::uint64_t> expected;
  auto check = [&](std::uint64_t key) {
    const auto lookup = map.find(key);
    const auto it = expected.find(key);
    if (it == expected.end()) {
      ASSERT_FALSE(lookup.found()) << std::hex << key;
    } else {
      ASSERT_TRUE(lookup.found()) << std::hex << key;
      ASSERT_EQ(it->second, *lookup.value);
    }
  };
  for (int round = 0; round < 2000; ++round) {
    std::uint64_t key = random();
    switch (round % 4) {
    case 0:
      key &= 0xFFFFFFFF00000000ull; // differs only in the high half
      break;
    case 1:
      key = (key & 0xF00000000ull) | 0x1000; // high bits over one shared low word
      break;
    case 2:
      key &= 0xFFull; // small keys repeat
      break;
    default:
      break;
    }
    if (key == 0)
      continue;
    const auto lookup = map.find(key);
    if (!lookup.found()) {
      map.insert(key, lookup.mask, key * 3);
      expected.emplace(key, key * 3);
    }
    ASSERT_EQ(expected.size(), map.count());
    check(key);
    check(random());
    for (const auto &[k, v] : expected)
      if ((k & 0x3F) == (key & 0x3F))
        check(k);
  }
  for (const auto &[k, v] : expected)
    check(k);
}

// Every key made of a few bits on both sides of bit 32, in several orders:
// after each insertion every key inserted so far is found.
TEST(CritBitMapTest, EveryInsertionOrderKeepsEarlierKeys) {
  const int bits[] = {0, 1, 31, 32, 33, 63};
  std::vector<std::uint64_t> keys;
  for (unsigned combination = 1; combination < (1u << 6); ++combination) {
    std::uint64_t key = 0;
    for (int b = 0; b < 6; ++b)
      if (combination & (1u << b))
        key |= 1ull << bits[b];
    keys.push_back(key);
  }
  std::mt19937 random(3);
  for (int order = 0; order < 40; ++order) {
    std::shuffle(keys.begin(), keys.end(), random);
    U_CritBitMap<std::uint64_t> map;
    for (std::size_t n = 0; n < keys.size(); ++n) {
      const auto miss = map.find(keys[n]);
      ASSERT_FALSE(miss.found());
      map.insert(keys[n], miss.mask, ~keys[n]);
      for (std::size_t i = 0; i <= n; ++i) {
        const auto hit = map.find(keys[i]);
        ASSERT_TRUE(hit.found()) << std::hex << keys[i] << " after inserting " << keys[n];
        ASSERT_EQ(~keys[i], *hit.value);
      }
    }
  }
}

TEST(CritBitMapTest, KeyZeroCannotBeStored) {
  U_CritBitMap<int> map;
  testing::internal::CaptureStderr();
  EXPECT_THROW(map.insert(0, map.find(0).mask, 1), U_AssertException);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(0u, map.count());
  EXPECT_FALSE(map.find(0).found());
}

} // namespace
