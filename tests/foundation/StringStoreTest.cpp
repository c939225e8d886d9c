#include "foundation/StringStore.h"
#include "foundation/Filename.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct CompareCase {
  std::string a;
  std::string b;
  bool foldCase;
  int expected; // sign of the comparison
};

TEST(StringStoreTest, FilenameTextOrder) {
  const CompareCase cases[] = {
      {"ab", "abc", false, -1},      // shorter first, whatever the bytes
      {"zz", "aaa", true, -1},       //
      {"Foo.C", "foo.c", true, 0},   // folded: one entry
      {"Foo.C", "foo.c", false, -1}, // case-sensitive: 'F' < 'f'
      {"[", "a", true, -1},          // '[' (0x5B) against 'a' (0x61), never folded
      {"[", "A", true, -1},          // 'A' folds to 'a', above '['
      {"[", "A", false, 1},          // unfolded 'A' (0x41) is below '['
      {"\xC0x", "\x7Fx", false, 1},  // bytes compare unsigned
      {"\xC0x", "\xE0x", true, -1},  // only A-Z fold, not bytes above 0x7F
  };
  for (const CompareCase &c : cases) {
    const int result = U_compareFilenameTexts(c.a, c.b, c.foldCase);
    EXPECT_EQ(c.expected, (result > 0) - (result < 0)) << c.a << " / " << c.b << " fold " << c.foldCase;
    const int reverse = U_compareFilenameTexts(c.b, c.a, c.foldCase);
    EXPECT_EQ(-c.expected, (reverse > 0) - (reverse < 0)) << c.b << " / " << c.a;
  }
}

TEST(StringStoreTest, SimpleOrderIsUnsignedBytesThenShorter) {
  SimpleStringCompare less;
  EXPECT_TRUE(less("ab", "abc"));
  EXPECT_FALSE(less("abc", "ab"));
  EXPECT_TRUE(less("abc", "abd"));
  EXPECT_FALSE(less("b", "ab\xFF"));
  EXPECT_TRUE(less("a\x7F", "a\x80"));
  EXPECT_TRUE(less(std::string("a\0a", 3), std::string("a\0b", 3)));
  EXPECT_FALSE(less("same", "same"));
}

TEST(StringStoreTest, FilenameStoreKeepsFirstSpellingOnLinuxCaseSensitive) {
  // On Linux the store follows the case-sensitive file system: two spellings
  // that differ in case are two entries, each keeping its own text.
  U_Filename first("Foo.C");
  U_Filename second("foo.c");
  U_Filename again("Foo.C");
  EXPECT_EQ(first, again);
  EXPECT_NE(first, second);
  EXPECT_EQ("Foo.C", first.str());
  EXPECT_EQ("foo.c", second.str());
}

TEST(StringStoreTest, StoreReturnsOneEntryPerText) {
  // Texts of their own on every run of the test within one process.
  static int run = 0;
  const std::string textA = "store-text-a-" + std::to_string(run);
  const std::string textB = "store-text-b-" + std::to_string(run++);
  auto &store = U_SingletonStringStore<SimpleStringCompare>::instance();
  const std::size_t before = store.size();
  const U_StoredString *a = store.intern(textA.c_str());
  const U_StoredString *b = store.intern(textB);
  EXPECT_NE(a, b);
  EXPECT_EQ(a, store.intern(textA));
  EXPECT_EQ(b, store.intern(textB.c_str()));
  EXPECT_EQ(before + 2, store.size());
  EXPECT_EQ(textA, a->text);
  EXPECT_LT(a->sequence, b->sequence);
  // Entries stay where they are while the store grows.
  for (int i = 0; i < 5000; ++i)
    store.intern("grow-" + std::to_string(run) + "-" + std::to_string(i));
  EXPECT_EQ(textA, a->text);
  EXPECT_EQ(a, store.intern(textA));
}

TEST(StringStoreTest, FilenameHandlesOrderByFirstInterning) {
  // Interning order, not text order or length: "zzz-long-name" first.
  U_Filename late;
  U_Filename z("order-zzz-long-name");
  U_Filename a("order-a");
  U_Filename ab("order-ab");
  EXPECT_FALSE(late.isSet());
  EXPECT_TRUE(z < a);
  EXPECT_TRUE(a < ab);
  EXPECT_FALSE(ab < a);
  EXPECT_TRUE(late < z); // unset first
  EXPECT_FALSE(z < late);
  EXPECT_FALSE(late < U_Filename());
  std::set<U_Filename> names{ab, a, z, U_Filename("order-a")};
  std::vector<std::string> texts;
  for (const U_Filename &n : names)
    texts.push_back(n.str());
  EXPECT_EQ((std::vector<std::string>{"order-zzz-long-name", "order-a", "order-ab"}), texts);
}

TEST(StringStoreTest, FilenameTextAccessors) {
  U_Filename name(std::string("dir/x.c\0tail", 12));
  EXPECT_EQ("dir/x.c", name.str()); // up to the first NUL
  EXPECT_STREQ("dir/x.c", name.c_str());
  std::ostringstream out;
  out << name << "|";
  name.print(out);
  EXPECT_EQ("dir/x.c|dir/x.c", out.str());
  U_Filename unset;
  EXPECT_EQ("", unset.str());
  EXPECT_STREQ("", unset.c_str());
  const char *nullText = nullptr;
  EXPECT_EQ(U_Filename(""), U_Filename(nullText));
}

TEST(StringStoreTest, InternStringPoolsEqualTexts) {
  std::string one = "model::name";
  std::string two = "model::name";
  const char *a = internString(one.c_str());
  const char *b = internString(two.c_str());
  EXPECT_EQ(a, b);
  EXPECT_STREQ("model::name", a);
  EXPECT_NE(a, one.c_str());
  EXPECT_NE(a, internString("model::name2"));
  EXPECT_EQ(internString(""), internString(nullptr));
}

TEST(StringStoreTest, InternStringOrderFollowsFirstPooling) {
  const char *z = internString("pool-order-zzz");
  const char *a = internString("pool-order-a");
  // A text longer than a whole block gets a place of its own.
  const std::string huge(100000, 'h');
  const char *h = internString(huge.c_str());
  const char *b = internString("pool-order-b");
  EXPECT_EQ(huge, h);
  U_InternedStringOrder before;
  EXPECT_TRUE(before(z, a));
  EXPECT_TRUE(before(a, h));
  EXPECT_TRUE(before(h, b));
  EXPECT_FALSE(before(b, z));
  EXPECT_FALSE(before(a, a));
  std::vector<const char *> pooled{b, h, a, z};
  std::sort(pooled.begin(), pooled.end(), before);
  EXPECT_EQ((std::vector<const char *>{z, a, h, b}), pooled);
  // Many texts: each keeps its characters and its pointer.
  std::vector<const char *> many;
  for (int i = 0; i < 20000; ++i)
    many.push_back(internString(("pool-many-" + std::to_string(i)).c_str()));
  for (int i = 0; i < 20000; i += 997) {
    EXPECT_STREQ(("pool-many-" + std::to_string(i)).c_str(), many[i]);
    EXPECT_EQ(many[i], internString(("pool-many-" + std::to_string(i)).c_str()));
  }
  EXPECT_TRUE(std::is_sorted(many.begin(), many.end(), before));
}

} // namespace
