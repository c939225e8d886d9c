#include "foundation/WordStringStore.h"
#include "foundation/Exception.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::uint32_t>;

Words wordsOf(const U_WordStringNode *node) { return Words(node->m_key, node->m_key + node->m_length); }

const U_WordStringNode *internBytes(U_WordStringStore &store, const std::string &bytes) {
  store.pushBytes(bytes);
  return store.intern();
}

TEST(WordStringStoreTest, EmptyStringIsTheSentinel) {
  U_WordStringStore store;
  const U_WordStringNode *sentinel = store.root();
  EXPECT_EQ(Words{0}, wordsOf(sentinel));
  EXPECT_EQ(INT32_MAX, sentinel->m_bitIndex);
  EXPECT_EQ(sentinel, sentinel->m_links[0]);
  EXPECT_EQ(sentinel, sentinel->m_links[1]);
  EXPECT_EQ(store.blockData(0), sentinel->m_key);

  EXPECT_EQ(sentinel, store.intern());
  internBytes(store, "ab");
  EXPECT_EQ(sentinel, internBytes(store, ""));
  EXPECT_EQ(1u, store.blockCount());
  EXPECT_EQ(1u + 3u, store.blockWritten(0));
}

TEST(WordStringStoreTest, BytesBecomeWordsPlusOneWithTerminator) {
  U_WordStringStore store;
  const U_WordStringNode *node = internBytes(store, std::string("\x00\x7f\xff", 3));
  EXPECT_EQ((Words{0x01, 0x80, 0x100, 0}), wordsOf(node));
}

TEST(WordStringStoreTest, InterningAgainGivesSameNodeAndLeavesNoWords) {
  U_WordStringStore store;
  const U_WordStringNode *first = internBytes(store, "\xff\xfe");
  const std::size_t written = store.blockWritten(0);
  EXPECT_EQ(first, internBytes(store, "\xff\xfe"));
  EXPECT_EQ(written, store.blockWritten(0));
}

TEST(WordStringStoreTest, DistinctStringsGetDistinctStableNodes) {
  // Prefixes of one another, a zero byte, and the extremes of the byte range.
  const std::string strings[] = {
      std::string("\xff\xfe", 2),     std::string("\xff\xfe\x00\x00", 4),
      std::string("\xff\xfe\x00", 3), std::string("\xfe\xff", 2),
      std::string("\x00", 1),         std::string("\x00\x00", 2),
      std::string("\xef\xbb\xbf", 3), std::string("\xff", 1),
      std::string(40, 'x'),           std::string(39, 'x'),
  };
  U_WordStringStore store;
  std::map<const U_WordStringNode *, std::string> owners;
  for (const std::string &s : strings) {
    const U_WordStringNode *node = internBytes(store, s);
    EXPECT_TRUE(owners.emplace(node, s).second) << "shared node for a string of " << s.size() << " bytes";
  }
  for (const std::string &s : strings) {
    const U_WordStringNode *node = internBytes(store, s);
    ASSERT_EQ(1u, owners.count(node));
    EXPECT_EQ(s, owners[node]);
    ASSERT_EQ(s.size() + 1, static_cast<std::size_t>(node->m_length));
    for (std::size_t i = 0; i < s.size(); ++i)
      EXPECT_EQ(static_cast<unsigned char>(s[i]) + 1u, node->m_key[i]);
    EXPECT_EQ(0u, node->m_key[s.size()]);
  }
}

TEST(WordStringStoreTest, NodeTestsLowestDifferingBit) {
  struct Case {
    Words key;        // pushed as given, terminator added by intern
    std::int32_t bit; // expected critical bit of the new node
  };
  // Each key is compared with the node its search ends at.
  const Case cases[] = {
      {{0x42}, 1},            // against [0]: 0x42 has its lowest set bit at 1
      {{0x43}, 0},            // against [0x42]: differs in bit 0
      {{0x42, 0x10}, 32 + 4}, // against [0x42, 0]: second word, bit 4
      {{0x42, 0x30}, 32 + 5}, // against [0x42, 0x10]: 0x10 ^ 0x30 = 0x20
      {{0x80000042}, 31},     // against [0x42]: the top bit of the first word
  };
  U_WordStringStore store;
  for (const Case &c : cases) {
    for (std::uint32_t w : c.key)
      store.pushWord(w);
    const U_WordStringNode *node = store.intern();
    EXPECT_EQ(c.bit, node->m_bitIndex) << "key of " << c.key.size() << " words starting " << c.key[0];
    EXPECT_EQ(node, node->m_links[U_WordStringStore::bitAt(node->m_key, node->m_length, c.bit)]);
  }
}

TEST(WordStringStoreTest, UnfinishedKeyMovesWholeIntoNewBlocks) {
  U_WordStringStore store;
  // The sentinel's word plus a key of 18 words and its terminator leave 10 free words.
  const U_WordStringNode *earlier = internBytes(store, std::string(18, 'a'));
  ASSERT_EQ(20u, store.blockWritten(0));
  const Words earlierWords = wordsOf(earlier);

  for (std::uint32_t w = 1; w <= 10; ++w)
    store.pushWord(w);
  EXPECT_EQ(1u, store.blockCount());
  store.pushWord(11);
  ASSERT_EQ(2u, store.blockCount());
  EXPECT_EQ(30u, store.blockCapacity(1));
  EXPECT_EQ(11u, store.blockWritten(1));
  for (std::uint32_t w = 12; w <= 30; ++w)
    store.pushWord(w);
  EXPECT_EQ(2u, store.blockCount());
  store.pushWord(31);
  ASSERT_EQ(3u, store.blockCount());
  EXPECT_EQ(45u, store.blockCapacity(2));
  EXPECT_EQ(31u, store.blockWritten(2));

  const U_WordStringNode *moved = store.intern();
  EXPECT_EQ(store.blockData(2), moved->m_key);
  ASSERT_EQ(32, moved->m_length);
  for (std::uint32_t w = 1; w <= 31; ++w)
    EXPECT_EQ(w, moved->m_key[w - 1]);
  EXPECT_EQ(earlierWords, wordsOf(earlier));
  EXPECT_EQ(earlier, internBytes(store, std::string(18, 'a')));
}

TEST(WordStringStoreTest, ManyRandomStringsInternConsistently) {
  std::mt19937 random(20240611u);
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> byte(0, 3); // few byte values: many shared prefixes
  U_WordStringStore store;
  std::map<std::string, const U_WordStringNode *> seen;
  for (int round = 0; round < 3000; ++round) {
    std::string s(static_cast<std::size_t>(length(random)), '\0');
    for (char &c : s)
      c = static_cast<char>(byte(random) * 0x55);
    const U_WordStringNode *node = internBytes(store, s);
    const auto [it, inserted] = seen.emplace(s, node);
    ASSERT_EQ(it->second, node) << "round " << round;
    if (inserted) {
      ASSERT_EQ(s.size() + 1, static_cast<std::size_t>(node->m_length));
      for (std::size_t i = 0; i < s.size(); ++i)
        ASSERT_EQ(static_cast<unsigned char>(s[i]) + 1u, node->m_key[i]);
    }
  }
  std::map<const U_WordStringNode *, int> distinct;
  for (const auto &[s, node] : seen)
    ++distinct[node];
  EXPECT_EQ(seen.size(), distinct.size());
}

TEST(WordStringStoreTest, KeysEqualButForTrailingZeroWordsAreRejected) {
  U_WordStringStore store;
  testing::internal::CaptureStderr();
  store.pushWord(0); // with its terminator: [0, 0], bitwise the empty string [0]
  EXPECT_THROW(store.intern(), U_AssertException);
  testing::internal::GetCapturedStderr();
  const std::size_t written = store.blockWritten(0);
  EXPECT_EQ(1u, written);
  // The rejected key is gone; the next key starts afresh.
  const U_WordStringNode *node = internBytes(store, "q");
  EXPECT_EQ((Words{'q' + 1u, 0}), wordsOf(node));
}

} // namespace
