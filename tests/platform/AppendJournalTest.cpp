#include "platform/AppendJournal.h"

#include "support/AppendFiles.h"
#include "support/ScratchDirectory.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using test_support::OpenFile;
using test_support::varied;

using Difference = platform::AppendCheck::Difference;

std::string hashes(const std::vector<std::uint64_t> &blocks) {
  std::string text;
  for (const std::uint64_t hash : blocks)
    text.append(" ").append(std::to_string(hash));
  return text;
}

std::string describe(const platform::AppendJournalEntry &entry) {
  return "device " + std::to_string(entry.device) + ", inode " + std::to_string(entry.inode) + ", length " +
         std::to_string(entry.length) + ", appending " + std::to_string(entry.appending) + ", before " +
         std::to_string(entry.before) + ", head of " + std::to_string(entry.head.size()) + " bytes, blocks" +
         hashes(entry.blocks);
}

bool sameEntry(const platform::AppendJournalEntry &a, const platform::AppendJournalEntry &b) {
  return a.device == b.device && a.inode == b.inode && a.length == b.length && a.appending == b.appending &&
         a.before == b.before && a.head == b.head && a.blocks == b.blocks;
}

std::string flipped(std::string bytes, std::size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
  return bytes;
}

std::string repeated(std::string_view piece, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i)
    text += piece;
  return text;
}

// Whole journals as the writer lays them out, written here byte for byte: an
// append that its head holds whole, and one of 8194 bytes at a length of
// 4095, whose head reaches the second block boundary (4097 bytes) and whose
// two blocks follow as hashes.
const std::string shortJournal = "lyrsa-journal 2\n"
                                 "device 2049\n"
                                 "inode 131\n"
                                 "length 4\n"
                                 "appending 6\n"
                                 "before 12345678901234567890\n"
                                 "head 00ff41424344\n"
                                 "blocks \n";
const std::string blocksJournal = "lyrsa-journal 2\n"
                                  "device 7\n"
                                  "inode 8\n"
                                  "length 4095\n"
                                  "appending 8194\n"
                                  "before 0\n"
                                  "head " +
                                  repeated("61", 4097) +
                                  "\n"
                                  "blocks 0123456789abcdeffedcba9876543210\n";

std::string replaced(const std::string &text, const std::string &from, const std::string &to) {
  std::string result = text;
  const std::size_t at = result.find(from);
  return at == std::string::npos ? "(not found: " + from + ")" : result.replace(at, from.size(), to);
}

TEST(AppendJournalTest, JournalPath) {
  const struct {
    std::string path;
    std::string journal;
  } cases[] = {
      {"f.err", ".f.err.lyrsa-journal"},
      {"out/sub/f.err", "out/sub/.f.err.lyrsa-journal"},
      {"/f.err", "/.f.err.lyrsa-journal"},
      {"/tmp/.hidden", "/tmp/..hidden.lyrsa-journal"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.journal, platform::appendJournalPath(c.path)) << c.path;
}

// The head reaches the second 4 KiB boundary of the file after the append
// point; the blocks cover the rest, the last one possibly short.
TEST(AppendJournalTest, HeadAndBlocksOfAnAppend) {
  const struct {
    std::uint64_t length;
    std::uint64_t appending;
    std::uint64_t head;
    std::uint64_t blocks;
  } cases[] = {
      {0, 1, 1, 0},
      {0, 8192, 8192, 0},
      {0, 8193, 8192, 1},
      {0, 8192 + 4096, 8192, 1},
      {0, 8192 + 4097, 8192, 2},
      {4095, 100000, 4097, 24},
      {4096, 8192, 8192, 0},
      {5000, 7288, 7288, 0},
      {5000, 7289, 7288, 1},
      {UINT64_MAX - 10, 10, 10, 0},
  };
  for (const auto &c : cases) {
    const std::string what =
        "length " + std::to_string(c.length) + ", appending " + std::to_string(c.appending);
    EXPECT_EQ(c.head, platform::appendJournalHeadBytes(c.length, c.appending)) << what;
    EXPECT_EQ(c.blocks, platform::appendJournalBlockCount(c.length, c.appending)) << what;
  }
}

// A whole journal is read field for field, and its entry written back is the
// same text, byte for byte.
TEST(AppendJournalTest, ReadsAndWritesWholeJournals) {
  const std::optional<platform::AppendJournalEntry> small = platform::parseAppendJournal(shortJournal);
  ASSERT_TRUE(small) << shortJournal;
  EXPECT_EQ(2049u, small->device);
  EXPECT_EQ(131u, small->inode);
  EXPECT_EQ(4u, small->length);
  EXPECT_EQ(6u, small->appending);
  EXPECT_EQ(12345678901234567890u, small->before);
  EXPECT_EQ(std::string("\0\xff"
                        "ABCD",
                        6),
            small->head);
  EXPECT_TRUE(small->blocks.empty());
  EXPECT_EQ(shortJournal, platform::appendJournalText(*small));

  const std::optional<platform::AppendJournalEntry> large = platform::parseAppendJournal(blocksJournal);
  ASSERT_TRUE(large) << blocksJournal;
  EXPECT_EQ(4095u, large->length);
  EXPECT_EQ(8194u, large->appending);
  EXPECT_EQ(std::string(4097, 'a'), large->head);
  EXPECT_EQ((std::vector<std::uint64_t>{0x0123456789abcdefu, 0xfedcba9876543210u}), large->blocks);
  EXPECT_EQ(blocksJournal, platform::appendJournalText(*large));

  // An append that ends where the largest file ends.
  const std::string largest = replaced(replaced(shortJournal, "length 4\n", "length 9223372036854775801\n"),
                                       "head 00ff41424344", "head 000000000000");
  const std::optional<platform::AppendJournalEntry> last = platform::parseAppendJournal(largest);
  ASSERT_TRUE(last) << largest;
  EXPECT_EQ(9223372036854775801u, last->length);
  EXPECT_EQ(largest, platform::appendJournalText(*last));
}

TEST(AppendJournalTest, ReadsOnlyWholeEntriesWhosePartsAgree) {
  const std::string appendingNothing =
      replaced(replaced(shortJournal, "appending 6", "appending 0"), "head 00ff41424344", "head ");
  const struct {
    const char *what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"version 1", replaced(shortJournal, "journal 2", "journal 1")},
      {"version 3", replaced(shortJournal, "journal 2", "journal 3")},
      {"no header", shortJournal.substr(std::strlen("lyrsa-journal 2\n"))},
      {"a field missing", replaced(shortJournal, "before 12345678901234567890\n", "")},
      {"no blocks", replaced(shortJournal, "blocks \n", "")},
      {"fields out of order", replaced(shortJournal, "device 2049\ninode 131\n", "inode 131\ndevice 2049\n")},
      {"another key", replaced(shortJournal, "length 4", "size 4")},
      {"the key of version 1", replaced(shortJournal, "head 00ff", "begins 00ff")},
      {"no space after the key", replaced(shortJournal, "length 4", "length4")},
      {"two spaces after the key", replaced(shortJournal, "length 4", "length  4")},
      {"no number", replaced(shortJournal, "length 4", "length ")},
      {"a sign", replaced(shortJournal, "length 4", "length +4")},
      {"a negative number", replaced(shortJournal, "length 4", "length -4")},
      {"text after a number", replaced(shortJournal, "length 4", "length 4x")},
      {"a carriage return", replaced(shortJournal, "length 4\n", "length 4\r\n")},
      {"a number past 64 bits",
       replaced(shortJournal, "before 12345678901234567890", "before 18446744073709551616")},
      {"odd hex digits", replaced(shortJournal, "head 00ff41424344", "head 00ff4142434")},
      {"capital hex digits", replaced(shortJournal, "head 00ff41424344", "head 00FF41424344")},
      {"no hex digit", replaced(shortJournal, "head 00ff41424344", "head 00fg41424344")},
      {"a head shorter than the append", replaced(shortJournal, "head 00ff41424344", "head 00ff414243")},
      {"a head longer than the append", replaced(shortJournal, "head 00ff41424344", "head 00ff4142434445")},
      {"a head past the second block boundary",
       replaced(replaced(blocksJournal, "head 61", "head 6161"), "blocks 0123456789abcdef", "blocks ")},
      {"a head that stops short of it",
       replaced(replaced(blocksJournal, "head 61", "head "), "blocks ", "blocks 0000000000000000")},
      {"a block for an append without one", replaced(shortJournal, "blocks ", "blocks 0123456789abcdef")},
      {"a block too many", replaced(blocksJournal, "blocks ", "blocks 0000000000000000")},
      {"a block too few", replaced(blocksJournal, "0123456789abcdef", "")},
      {"a hash cut short", replaced(blocksJournal, "0123456789abcdef", "0123456789abcd")},
      {"appending nothing", appendingNothing},
      {"past the largest file", replaced(replaced(shortJournal, "length 4\n", "length 9223372036854775802\n"),
                                         "head 00ff41424344", "head 000000000000")},
      {"a length past the largest file",
       replaced(replaced(replaced(shortJournal, "length 4\n", "length 9223372036854775808\n"), "appending 6",
                         "appending 1"),
                "head 00ff41424344", "head 00")},
      {"text after the last field", shortJournal + "x"},
      {"a line after the last field", shortJournal + "\n"},
      {"a long tail", shortJournal + std::string(5000, ' ')},
  };
  for (const auto &c : cases)
    EXPECT_FALSE(platform::parseAppendJournal(c.text)) << c.what << ": " << c.text.substr(0, 400);
  // A journal cut anywhere, as a write that did not end would leave it.
  for (const std::string &whole : {shortJournal, blocksJournal}) {
    for (std::size_t size = 0; size < whole.size(); ++size) {
      const std::string cut = whole.substr(0, size);
      ASSERT_FALSE(platform::parseAppendJournal(cut))
          << "cut after " << size << " bytes: " << cut.substr(cut.size() > 200 ? cut.size() - 200 : 0);
    }
  }
}

// An append is described the same whether it comes in one piece or in many,
// in one call or in several: the head fills up to its end, and a block that
// one piece leaves open the next one goes on with.
TEST(AppendJournalTest, DescribesAnAppendInPieces) {
  const test_support::ScratchDirectory dir;
  const std::string before = varied(5000, 1);
  const std::string path = dir.writeFile("f.err", before);
  const OpenFile file(path);
  ASSERT_GE(file.fd(), 0);
  struct stat status {};
  ASSERT_EQ(0, ::fstat(file.fd(), &status));
  constexpr std::size_t head = 8192 - 5000 % 4096; // 7288
  const std::string appended = varied(head + 2 * 4096 + 50, 2);
  const std::string_view whole = appended;
  const std::optional<platform::AppendJournalEntry> entry =
      platform::describeAppend(file.fd(), 5000, &whole, 1);
  ASSERT_TRUE(entry);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_dev), entry->device);
  EXPECT_EQ(static_cast<std::uint64_t>(status.st_ino), entry->inode);
  EXPECT_EQ(5000u, entry->length);
  EXPECT_EQ(appended.size(), entry->appending);
  EXPECT_EQ(appended.substr(0, head), entry->head);
  EXPECT_EQ(3u, entry->blocks.size());

  const struct {
    const char *what;
    std::vector<std::size_t> sizes; // of the pieces but the last, which has the rest
  } cases[] = {
      {"an empty piece first", {0}},
      {"one byte, then the rest", {1}},
      {"up to a byte before the head's end", {head - 1}},
      {"up to the head's end", {head}},
      {"up to a byte into the first block", {head + 1}},
      {"up to a byte before the first block's end", {head + 4095}},
      {"up to the first block's end", {head + 4096}},
      {"three pieces across two blocks", {head + 100, 5000}},
      {"pieces of 1000 bytes", std::vector<std::size_t>(15, 1000)},
      {"a byte at a time at the end", {appended.size() - 3, 1, 1}},
  };
  for (const auto &c : cases) {
    std::vector<std::string_view> pieces;
    std::size_t at = 0;
    for (const std::size_t size : c.sizes) {
      pieces.push_back(whole.substr(at, size));
      at += size;
    }
    pieces.push_back(whole.substr(at));
    const std::optional<platform::AppendJournalEntry> inOneCall =
        platform::describeAppend(file.fd(), 5000, pieces.data(), pieces.size());
    ASSERT_TRUE(inOneCall) << c.what;
    EXPECT_TRUE(sameEntry(*entry, *inOneCall)) << c.what << ", in one call: " << describe(*inOneCall);
    std::optional<platform::AppendJournalEntry> inCalls =
        platform::describeAppend(file.fd(), 5000, pieces.data(), 1);
    ASSERT_TRUE(inCalls) << c.what;
    for (std::size_t i = 1; i < pieces.size(); ++i)
      platform::extendAppend(*inCalls, &pieces[i], 1);
    EXPECT_TRUE(sameEntry(*entry, *inCalls)) << c.what << ", a call a piece: " << describe(*inCalls);
  }

  const std::string_view piece = "x";
  const std::optional<platform::AppendJournalEntry> shorter =
      platform::describeAppend(file.fd(), 2, &piece, 1);
  ASSERT_TRUE(shorter);
  EXPECT_NE(entry->before, shorter->before) << "other bytes before the append point";
  errno = 0;
  EXPECT_FALSE(platform::describeAppend(file.fd(), 5001, &piece, 1)) << "a length the file does not have";
  EXPECT_NE(0, errno);
  EXPECT_FALSE(platform::describeAppend(-1, 0, &piece, 1));
  EXPECT_EQ(EBADF, errno);
}

// The file is described before an append of several blocks, at a length on a
// 4 KiB boundary and at one off it, and then found as each case makes it.
TEST(AppendJournalTest, ChecksWhatFollowsTheAppendPoint) {
  struct Parts {
    std::string before;
    std::string appended;
    std::size_t head; // bytes of the append that the journal holds whole
  };
  struct Case {
    const char *what;
    std::function<std::string(const Parts &)> found;
    bool anotherInode;
    Difference difference;
  };
  const Case cases[] = {
      {"nothing appended", [](const Parts &p) { return p.before; }, false, Difference::none},
      {"a prefix inside the head", [](const Parts &p) { return p.before + p.appended.substr(0, 100); }, false,
       Difference::none},
      {"the whole head", [](const Parts &p) { return p.before + p.appended.substr(0, p.head); }, false,
       Difference::none},
      {"a prefix ending on a block boundary",
       [](const Parts &p) { return p.before + p.appended.substr(0, p.head + 4096); }, false,
       Difference::none},
      {"the whole append", [](const Parts &p) { return p.before + p.appended; }, false, Difference::none},
      {"a prefix ending inside a block",
       [](const Parts &p) { return p.before + p.appended.substr(0, p.head + 4096 + 10); }, false,
       Difference::partBlock},
      {"a prefix ending inside the last, short block",
       [](const Parts &p) { return p.before + p.appended.substr(0, p.appended.size() - 1); }, false,
       Difference::partBlock},
      {"other bytes in the head",
       [](const Parts &p) { return p.before + flipped(p.appended.substr(0, 200), 50); }, false,
       Difference::otherBytes},
      {"another last byte of the head",
       [](const Parts &p) { return p.before + flipped(p.appended.substr(0, p.head), p.head - 1); }, false,
       Difference::otherBytes},
      {"other bytes in a later block",
       [](const Parts &p) { return p.before + flipped(p.appended, p.head + 4096 + 7); }, false,
       Difference::otherBytes},
      {"another last byte of the append",
       [](const Parts &p) { return p.before + flipped(p.appended, p.appended.size() - 1); }, false,
       Difference::otherBytes},
      {"shorter", [](const Parts &p) { return p.before.substr(0, p.before.size() - 1); }, false,
       Difference::shorter},
      {"longer", [](const Parts &p) { return p.before + p.appended + "x"; }, false, Difference::longer},
      {"another inode", [](const Parts &p) { return p.before + p.appended.substr(0, 100); }, true,
       Difference::anotherFile},
      {"another byte just before the append point",
       [](const Parts &p) { return flipped(p.before, p.before.size() - 1) + p.appended.substr(0, 100); },
       false, Difference::anotherFile},
      {"another byte 4 KiB before the append point",
       [](const Parts &p) { return flipped(p.before, p.before.size() - 4096) + p.appended.substr(0, 100); },
       false, Difference::anotherFile},
  };
  for (const std::size_t length : {std::size_t{8192}, std::size_t{5000}}) {
    const std::size_t head = 8192 - length % 4096;
    const Parts parts{varied(length, 3), varied(head + 2 * 4096 + 100, 4), head};
    for (const Case &c : cases) {
      const std::string found = c.found(parts);
      const std::string what = std::string(c.what) + ", at a length of " + std::to_string(length) +
                               ", found " + std::to_string(found.size()) + " bytes";
      const test_support::ScratchDirectory dir;
      const std::string path = dir.writeFile("f.err", parts.before);
      const OpenFile described(path);
      const std::string_view piece = parts.appended;
      const std::optional<platform::AppendJournalEntry> entry =
          platform::describeAppend(described.fd(), length, &piece, 1);
      ASSERT_TRUE(entry) << what;
      ASSERT_EQ(3u, entry->blocks.size()) << what;
      // Written in place: the same inode, unless the case wants another.
      const std::string checked = dir.writeFile(c.anotherInode ? "other.err" : "f.err", found);
      const OpenFile file(checked);
      const platform::AppendCheck check = platform::checkAppended(file.fd(), *entry, found.size());
      EXPECT_EQ(c.difference, check.difference) << what;
      EXPECT_EQ(0, check.error) << what;
    }
  }
}

// A file that cannot be read is not taken for what the journal covers.
TEST(AppendJournalTest, ACheckThatCannotReadTellsWhy) {
  const test_support::ScratchDirectory dir;
  const std::string path = dir.writeFile("f.err", "head");
  std::optional<platform::AppendJournalEntry> entry;
  {
    const OpenFile file(path);
    const std::string_view piece = "tail";
    entry = platform::describeAppend(file.fd(), 4, &piece, 1);
  }
  ASSERT_TRUE(entry);
  dir.writeFile("f.err", "headta");
  const OpenFile writeOnly(path, O_WRONLY);
  ASSERT_GE(writeOnly.fd(), 0);
  const platform::AppendCheck check = platform::checkAppended(writeOnly.fd(), *entry, 6);
  EXPECT_EQ(EBADF, check.error);
  EXPECT_EQ(EBADF, platform::checkAppended(-1, *entry, 6).error);
}

} // namespace
