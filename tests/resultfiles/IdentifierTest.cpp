#include "resultfiles/Identifier.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>

namespace {

using Trie = U_IdentifierStore::Trie;

std::size_t writtenInLastBlock(const U_IdentifierStore &store) {
  return store.trie().blockWritten(store.trie().blockCount() - 1);
}

TEST(IdentifierTest, EmptyTextIsTheInitialNode) {
  U_IdentifierStore store;
  const Trie::Node *initial = store.trie().root();
  EXPECT_EQ(1, initial->m_length);
  EXPECT_EQ(INT32_MAX, initial->m_bitIndex);
  EXPECT_EQ(initial, initial->m_links[0]);
  EXPECT_EQ(initial, initial->m_links[1]);

  const std::size_t written = writtenInLastBlock(store);
  EXPECT_EQ(initial->m_key, store.intern(""));
  EXPECT_EQ(initial->m_key, store.intern(nullptr));
  EXPECT_EQ(initial, store.trie().root());
  EXPECT_EQ(written, writtenInLastBlock(store));
}

TEST(IdentifierTest, SameTextTwiceLeavesBuffersUnchanged) {
  U_IdentifierStore store;
  const char *first = store.intern("MAX_LEN");
  const std::size_t written = writtenInLastBlock(store);
  std::string copy = "MAX_LEN";
  EXPECT_EQ(first, store.intern(copy.c_str()));
  EXPECT_EQ(written, writtenInLastBlock(store));
  EXPECT_STREQ("MAX_LEN", first);
}

TEST(IdentifierTest, NodesTestTheFirstDifferingBit) {
  struct Case {
    const char *text;
    std::int32_t bit; // of the node the text gets, against the text its search ends at
  };
  const Case cases[] = {
      {"A", 0},        // "A" (0x41) against "": bit 0 of byte 0
      {"AB", 9},       // against "A": byte 1, NUL against 0x42, lowest set bit 1
      {"AC", 8},       // against "AB": 0x42 ^ 0x43
      {"\xA4\xA2", 2}, // against "": the lowest set bit of 0xA4
  };
  U_IdentifierStore store;
  for (const Case &c : cases) {
    const char *key = store.intern(c.text);
    EXPECT_STREQ(c.text, key);
    const Trie::Node *node = store.trie().root();
    // The new node is the one whose key is this text.
    std::map<const char *, const Trie::Node *> seen;
    std::vector<const Trie::Node *> pending{node};
    while (!pending.empty()) {
      const Trie::Node *at = pending.back();
      pending.pop_back();
      if (!seen.emplace(at->m_key, at).second)
        continue;
      for (const Trie::Node *next : at->m_links)
        if (next->m_bitIndex > at->m_bitIndex)
          pending.push_back(next);
    }
    ASSERT_EQ(1u, seen.count(key)) << c.text;
    EXPECT_EQ(c.bit, seen[key]->m_bitIndex) << c.text;
  }
}

TEST(IdentifierTest, PendingTextMovesWholeIntoNewBuffer) {
  struct Case {
    std::size_t free;     // bytes left in the last buffer before the text
    std::size_t length;   // text length, NUL excluded
    std::size_t capacity; // of the buffer the text moves to
  };
  const Case cases[] = {
      {0, 19, 30},  // 20 bytes with the NUL: moved at its first byte into 30
      {10, 19, 30}, // 10 fit, the 11th moves 10 pending bytes into 30
      {10, 35, 45}, // ... and at 30 pending it moves again, into 45
      {29, 28, 0},  // fits exactly with its NUL: no new buffer
  };
  for (const Case &c : cases) {
    U_IdentifierStore store;
    // Leave `free` bytes in the first buffer (29 are free after the empty text).
    const char *earlier = nullptr;
    if (c.free < 29)
      earlier = store.intern(std::string(29 - c.free - 1, 'e').c_str());
    ASSERT_EQ(30u - c.free, writtenInLastBlock(store));
    const std::string text(c.length, 'x');
    const char *key = store.intern(text.c_str());
    EXPECT_STREQ(text.c_str(), key);
    if (c.capacity == 0) {
      EXPECT_EQ(1u, store.trie().blockCount());
    } else {
      const std::size_t last = store.trie().blockCount() - 1;
      EXPECT_EQ(c.capacity, store.trie().blockCapacity(last)) << c.free << " free, " << c.length;
      EXPECT_EQ(store.trie().blockData(last), key);
    }
    if (earlier) {
      EXPECT_EQ(earlier, store.intern(std::string(29 - c.free - 1, 'e').c_str()));
      EXPECT_EQ(std::string(29 - c.free - 1, 'e'), earlier);
    }
    EXPECT_EQ(key, store.intern(text.c_str()));
  }
}

TEST(IdentifierTest, TwoBufferMovesOfOneLongText) {
  U_IdentifierStore store;
  store.intern(std::string(18, 'a').c_str()); // 10 bytes left
  const std::string text(40, 'm');
  const char *key = store.intern(text.c_str());
  ASSERT_EQ(3u, store.trie().blockCount());
  EXPECT_EQ(30u, store.trie().blockCapacity(1));
  EXPECT_EQ(45u, store.trie().blockCapacity(2));
  EXPECT_EQ(store.trie().blockData(2), key);
  EXPECT_EQ(text, key);
}

TEST(IdentifierTest, PendingPiecesInternAsOneText) {
  U_IdentifierStore store;
  const char *whole = store.intern("HEADER_H");
  store.appendPending("HEAD");
  store.appendPending("");
  store.appendPending("ER_H");
  EXPECT_EQ(whole, store.internPending());
  store.appendPending("NEW_");
  store.appendPending("NAME");
  const char *built = store.internPending();
  EXPECT_STREQ("NEW_NAME", built);
  EXPECT_EQ(built, store.intern("NEW_NAME"));
}

TEST(IdentifierTest, ManyTextsWithHighBytesInternConsistently) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> length(0, 45);
  const char alphabet[] = {'A', '_', 'a', '\x80', '\xA4', '\xFF'};
  std::uniform_int_distribution<int> pick(0, 5);
  U_IdentifierStore store;
  std::map<std::string, const char *> seen;
  for (int round = 0; round < 3000; ++round) {
    std::string text(static_cast<std::size_t>(length(random)), ' ');
    for (char &c : text)
      c = alphabet[pick(random)];
    const char *key = store.intern(text.c_str());
    const auto [it, inserted] = seen.emplace(text, key);
    ASSERT_EQ(it->second, key) << "round " << round;
    ASSERT_EQ(text, key);
  }
  std::map<const char *, int> distinct;
  for (const auto &[text, key] : seen)
    ++distinct[key];
  EXPECT_EQ(seen.size(), distinct.size());
}

TEST(IdentifierTest, IdentifiersShareTheProcessStore) {
  const char buffer[] = "FOO\0BAR";
  const U_Identifier foo("FOO");
  EXPECT_EQ(foo, U_Identifier(buffer)); // the text ends at its first NUL
  EXPECT_EQ(foo.text(), U_IdentifierStore::instance().intern("FOO"));
  EXPECT_NE(foo, U_Identifier("FOO_"));
  EXPECT_STREQ("FOO", foo.text());
  const U_Identifier empty("");
  EXPECT_EQ(U_IdentifierStore::instance().trie().blockData(0), empty.text());
}

} // namespace
