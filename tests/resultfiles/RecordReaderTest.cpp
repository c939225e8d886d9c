#include "resultfiles/RecordReader.h"

#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordStreams.h"
#include "resultfiles/RecordWriter.h"
#include "support/ByteBuilder.h"
#include "support/Bytes.h"
#include "support/ScratchDirectory.h"
#include "support/SmallStack.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

using namespace record_streams;
using test_support::ByteBuilder;

class RecordReaderTest : public testing::Test {
protected:
  // A reader open on a file of exactly these bytes.
  R_Reader &readerOf(const std::string &bytes) {
    const std::string path = m_dir.writeFile("in" + std::to_string(m_count++) + ".err", bytes);
    m_reader = std::make_unique<R_Reader>(path);
    EXPECT_TRUE(m_reader->open());
    return *m_reader;
  }

  test_support::ScratchDirectory m_dir;
  int m_count = 0;
  std::unique_ptr<R_Reader> m_reader;
};

// Location record bytes of file 0 (given in full when it is new) at a line,
// column 0, with the parts byte given; the parts follow.
ByteBuilder &locationRecord(ByteBuilder &bytes, std::int64_t id, bool newFile, std::int64_t line,
                            std::uint8_t parts) {
  bytes.int32(id).int32(0);
  if (newFile)
    bytes.text("/d/x.c").text("x.c");
  return bytes.int32(line).int32(0).byte(parts);
}

TEST_F(RecordReaderTest, Primitives) {
  R_Reader &reader = readerOf(BYTES("\xAB"
                                    "\x78\x56\x34\x12"
                                    "\xFF\xFF\xFF\xFF"
                                    "\x03\x00\x00\x00"
                                    "a\0b"
                                    "\x00\x00\x00\x00"
                                    "\xA4\xA2"));
  EXPECT_EQ(0xAB, reader.readByte());
  EXPECT_EQ(0x12345678u, reader.readInt());
  EXPECT_EQ(0xFFFFFFFFu, reader.readInt());
  EXPECT_EQ(std::string("a\0b", 3), reader.readString());
  EXPECT_EQ("", reader.readString());
  char bytes[2];
  reader.readBytes(bytes, 2);
  EXPECT_EQ("\xA4\xA2", std::string(bytes, 2));
  EXPECT_TRUE(reader.atEnd());
}

TEST_F(RecordReaderTest, AtEndReadsOneByteAhead) {
  EXPECT_TRUE(readerOf("").atEnd());
  R_Reader &reader = readerOf(BYTES("\x01\x02\x03\x04\x05"));
  EXPECT_FALSE(reader.atEnd());
  EXPECT_FALSE(reader.atEnd()) << "asking again keeps the byte";
  EXPECT_EQ(0x04030201u, reader.readInt());
  EXPECT_FALSE(reader.atEnd());
  EXPECT_EQ(5, reader.readByte());
  EXPECT_TRUE(reader.atEnd());
  EXPECT_THROW(reader.readByte(), R_ReadingReadException);
}

TEST_F(RecordReaderTest, ShortReadsFail) {
  EXPECT_THROW(readerOf(BYTES("\x01\x02\x03")).readInt(), R_ReadingReadException);
  R_Reader &reader = readerOf(BYTES("\x01\x02\x03"));
  EXPECT_FALSE(reader.atEnd());
  EXPECT_THROW(reader.readInt(), R_ReadingReadException) << "the look-ahead and two bytes";
  EXPECT_THROW(readerOf(BYTES("\x05\x00\x00\x00"
                              "abcd"))
                   .readString(),
               R_ReadingReadException);
}

// A read that ends early says why: the end of the file, whatever errno held
// before the read, or the error of the read.
TEST_F(RecordReaderTest, ShortReadsSayWhy) {
  R_Reader &reader = readerOf(BYTES("\x01\x02\x03"));
  errno = ENOENT; // left by an earlier look for a file that is not there
  try {
    reader.readInt();
    ADD_FAILURE() << "no error";
  } catch (const R_ReadingReadException &error) {
    EXPECT_EQ("Problems reading binary file. errno (61): No data available", std::string(error.what()));
  }
}

// /proc/self/mem opens, and its first read fails with EIO.
TEST_F(RecordReaderTest, ReadErrors) {
  R_Reader lookingAhead("/proc/self/mem");
  if (!lookingAhead.open())
    GTEST_SKIP() << "no /proc/self/mem";
  try {
    lookingAhead.atEnd();
    ADD_FAILURE() << "no error";
  } catch (const R_ReadingEOFException &error) {
    EXPECT_EQ("Problems reading binary file at eof. errno (5): Input/output error",
              std::string(error.what()));
  }
  R_Reader reading("/proc/self/mem");
  ASSERT_TRUE(reading.open());
  errno = ENOENT;
  try {
    reading.readInt();
    ADD_FAILURE() << "no error";
  } catch (const R_ReadingReadException &error) {
    EXPECT_EQ("Problems reading binary file. errno (5): Input/output error", std::string(error.what()));
  }
}

// A pipe has no size to compare a length with: the text is read in pieces
// and ends at the end of what the pipe gives.
// Only a regular file is read: a pipe in place of an error file is refused
// at once, without waiting for a writer that may never come.
TEST_F(RecordReaderTest, APipeIsRefusedAtOnce) {
  const std::string path = m_dir / "pipe";
  ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
  R_Reader reader(path);
  EXPECT_FALSE(reader.open());
  EXPECT_FALSE(R_Reader(path).openAt(4));
}

TEST_F(RecordReaderTest, OpenAtAnOffset) {
  const std::string path = m_dir.writeFile("at.err", BYTES("\x00\x93\x00\x00\x2A\x00\x00\x00"));
  R_Reader reader(path);
  ASSERT_TRUE(reader.openAt(4));
  EXPECT_EQ(42u, reader.readInt());
  EXPECT_TRUE(reader.atEnd());
  EXPECT_FALSE(R_Reader(m_dir / "missing.err").openAt(0));
  EXPECT_FALSE(R_Reader(m_dir / "missing.err").open());
  EXPECT_FALSE(R_Reader(m_dir.path()).open()) << "a directory";
}

TEST_F(RecordReaderTest, IdentifiersAndFiles) {
  R_Reader &reader = readerOf(ByteBuilder()
                                  .int32(0)
                                  .text("MAX")
                                  .int32(1)
                                  .text(std::string("CM\0P", 4)) // ends at the NUL
                                  .int32(0)
                                  .int32(0)
                                  .text("/a/f.c")
                                  .text("f.c")
                                  .int32(1)
                                  .text("/a/f.c")
                                  .text("other/f.c")
                                  .int32(1)
                                  .int32(0));
  EXPECT_STREQ("MAX", reader.readIdentifier().text());
  EXPECT_EQ(U_Identifier("CM"), reader.readIdentifier());
  EXPECT_EQ(U_Identifier("MAX"), reader.readIdentifier());
  const QL_Filename first = reader.readFile();
  EXPECT_EQ("/a/f.c", first.canonical().str());
  EXPECT_EQ("f.c", first.given().str());
  const QL_Filename second = reader.readFile();
  EXPECT_EQ(first, second) << "the same canonical name";
  EXPECT_EQ("other/f.c", second.given().str());
  EXPECT_EQ("other/f.c", reader.readFile().given().str());
  EXPECT_EQ("f.c", reader.readFile().given().str());
  EXPECT_EQ(2u, reader.data().m_files.size());
}

TEST_F(RecordReaderTest, LocationWithEveryPart) {
  R_Reader &reader = readerOf(everyPartBytes + BYTES("\x00\x00\x00\x00"
                                                     "\x01\x00\x00\x00"));
  const U_Location location = readBinaryLocation(reader);
  ASSERT_TRUE(location.isSet());
  EXPECT_EQ(mainFile(), location.getFile());
  EXPECT_EQ("f.c", location.getFile().given().str());
  EXPECT_EQ(10, location.getLine());
  EXPECT_EQ(3, location.getColumn());

  ASSERT_TRUE(location.hasInclLoc());
  EXPECT_EQ(header(), location.getInclLoc().getFile());
  EXPECT_EQ(2, location.getInclLoc().getLine());

  ASSERT_TRUE(location.hasMacroHist());
  const U_RefPtr<U_MacroHistory> inner = location.getMacroHist();
  EXPECT_EQ(U_Identifier("MAX"), inner->m_macroName);
  EXPECT_EQ(5, inner->m_location.getColumn());
  ASSERT_TRUE(inner->m_parent.isSet());
  EXPECT_EQ(U_Identifier("CMP"), inner->m_parent->m_macroName);
  EXPECT_EQ(4, inner->m_parent->m_location.getLine());
  EXPECT_FALSE(inner->m_parent->m_parent.isSet());

  ASSERT_TRUE(location.hasHLLoc());
  EXPECT_EQ(shownFile(), location.getHLFile());
  EXPECT_EQ(7, location.getHLLine());

  ASSERT_TRUE(location.hasInstFromLoc());
  EXPECT_EQ(20, location.getInstFromLoc().getLine());
  EXPECT_EQ(header(), location.getInstFromLoc().getFile());
  const U_RefPtr<U_EntityDisplayName> name = location.getInstEntity();
  for (const std::string &text : {name->text(), name->text2(), name->text3(), name->text4(), name->text5()})
    EXPECT_EQ("t3", text);
  EXPECT_EQ(1u, location.getInstDepth());

  ASSERT_TRUE(location.hasCalledFromLoc());
  EXPECT_EQ(30, location.getCalledFromLoc().getLine());

  // Stored after its parts; both ids now resolve to the objects read.
  const R_ReaderLocData &table = reader.data().m_locations;
  EXPECT_EQ(6u, table.size());
  EXPECT_EQ(location, table.get(0));
  EXPECT_EQ(location.getInclLoc(), table.get(1));
  EXPECT_EQ(location, readBinaryLocation(reader));
  EXPECT_EQ(location.getInclLoc(), readBinaryLocation(reader));
}

TEST_F(RecordReaderTest, PartsAreStoredBeforeTheirLocation) {
  // Location 0 includes location 1; while 1 is read, entry 0 does not exist.
  ByteBuilder bytes;
  locationRecord(bytes, 0, true, 5, 1);
  locationRecord(bytes, 1, false, 6, 0);
  R_Reader &reader = readerOf(bytes);
  const U_Location location = readBinaryLocation(reader);
  EXPECT_EQ(5, location.getLine());
  EXPECT_EQ(6, location.getInclLoc().getLine());
  EXPECT_EQ(1u, reader.data().m_locations.depth(1));
  EXPECT_EQ(2u, reader.data().m_locations.depth(0));
}

TEST_F(RecordReaderTest, UnusedPartBitsAndAnyNonZeroMoreByte) {
  ByteBuilder bytes;
  locationRecord(bytes, 0, true, 5, 0xE0 | 4); // bits 32, 64, 128 mean nothing
  locationRecord(bytes, 1, false, 6, 0).int32(0).text("A").byte(0x7F);
  locationRecord(bytes, 2, false, 7, 0).int32(1).text("B").byte(0);
  const U_Location location = readBinaryLocation(readerOf(bytes));
  EXPECT_FALSE(location.hasInclLoc());
  ASSERT_TRUE(location.hasMacroHist());
  EXPECT_EQ(U_Identifier("B"), location.getMacroHist()->m_parent->m_macroName);
}

TEST_F(RecordReaderTest, ResetStartsEveryTableAgain) {
  R_Reader &reader = readerOf(plainBytes + ByteBuilder().int32(0).text("M").bytes() + plainBytes +
                              ByteBuilder().int32(0).text("N").bytes());
  const U_Location first = readBinaryLocation(reader);
  EXPECT_EQ(U_Identifier("M"), reader.readIdentifier());
  reader.resetTables();
  EXPECT_FALSE(reader.data().m_locations.isKnown(0));
  const U_Location second = readBinaryLocation(reader);
  EXPECT_NE(first, second);
  EXPECT_EQ(first.getFile(), second.getFile());
  EXPECT_EQ(U_Identifier("N"), reader.readIdentifier());
}

TEST_F(RecordReaderTest, Tables) {
  R_ReaderLocData locations;
  EXPECT_FALSE(locations.isKnown(0));
  EXPECT_FALSE(locations.isKnown(-1));
  locations.set(2, plainLocation(), 1);
  EXPECT_EQ(3u, locations.size());
  EXPECT_TRUE(locations.isKnown(0));
  EXPECT_FALSE(locations.get(0).isSet()) << "a gap";
  EXPECT_TRUE(locations.isKnown(2));
  EXPECT_FALSE(locations.isKnown(3));
  EXPECT_FALSE(locations.isKnown(-1));
  locations.takeNextId();
  locations.clear();
  EXPECT_EQ(0u, locations.size());
  EXPECT_EQ(0, locations.nextId());

  R_ReaderSimpleData<U_Filename> files;
  files.append(mainFile());
  EXPECT_TRUE(files.isKnown(0));
  EXPECT_FALSE(files.isKnown(-2147483647 - 1));
  EXPECT_EQ("f.c", files.get(0).given().str());
}

// Bytes that no writer writes: each is refused with the read error, without
// a crash and without taking memory for a size the file only claims.
TEST_F(RecordReaderTest, RefusesWhatNoWriterWrites) {
  struct Refusal {
    const char *what;
    std::string bytes;
    std::function<void(R_Reader &)> read;
  };
  const auto location = [](R_Reader &r) { readBinaryLocation(r); };
  const auto twoLocations = [](R_Reader &r) {
    readBinaryLocation(r);
    readBinaryLocation(r);
  };
  ByteBuilder negativeId, skippedId, secondSkipsAnId, gap, selfInclude, claimedString, claimedName;
  locationRecord(negativeId, -1, true, 1, 0);
  locationRecord(skippedId, 1, true, 1, 0);
  locationRecord(secondSkipsAnId, 0, true, 1, 0);
  locationRecord(secondSkipsAnId, 2, false, 1, 0);
  // Location 0 includes location 1 and is instantiated from location 0,
  // whose entry is still empty.
  locationRecord(gap, 0, true, 1, 1 | 2);
  locationRecord(gap, 1, false, 2, 0).int32(0).text("T");
  // Location 0 included from itself: id 0 is not known yet and not the next.
  locationRecord(selfInclude, 0, true, 1, 1).int32(0);
  locationRecord(claimedString, 0, true, 1, 2);
  locationRecord(claimedString, 1, false, 1, 0).int32(0x7FFFFFFF).raw("T");
  claimedName.int32(0).int32(0).int32(0x7FFFFFF0).raw("/d/x.c");
  const Refusal refusals[] = {
      {"negative location id", negativeId, location},
      {"first location id not 0", skippedId, location},
      {"second location skips an id", secondSkipsAnId, twoLocations},
      {"reference to a location still being read", gap, location},
      {"location included from itself", selfInclude, location},
      {"display name longer than the file", claimedString, location},
      {"file name longer than the file", claimedName, location},
      {"negative file id", ByteBuilder().int32(-1).text("/x").text("x"), [](R_Reader &r) { r.readFile(); }},
      {"file id not the next one", ByteBuilder().int32(3).text("/x").text("x"),
       [](R_Reader &r) { r.readFile(); }},
      {"negative text id", ByteBuilder().int32(-5).text("M"), [](R_Reader &r) { r.readIdentifier(); }},
      {"text id not the next one", ByteBuilder().int32(1).text("M"), [](R_Reader &r) { r.readIdentifier(); }},
      {"negative text length", ByteBuilder().int32(0).int32(-1), [](R_Reader &r) { r.readIdentifier(); }},
      {"text longer than the file", ByteBuilder().int32(0).int32(4).raw("MAX"),
       [](R_Reader &r) { r.readIdentifier(); }},
      {"negative string length", ByteBuilder().int32(-2147483647 - 1), [](R_Reader &r) { r.readString(); }},
      {"string of 2 GiB in a file of 8 bytes", ByteBuilder().int32(0x7FFFFFFF).raw("abcd"),
       [](R_Reader &r) { r.readString(); }},
      {"string one byte longer than the file", ByteBuilder().int32(5).raw("abcd"),
       [](R_Reader &r) { r.readString(); }},
      {"location cut short", plainBytes.substr(0, plainBytes.size() - 1), location},
      {"macro chain cut short", ByteBuilder().raw(plainBytes).int32(0).text("M").byte(1),
       [](R_Reader &r) { readMacroHistory(r); }},
  };
  for (const Refusal &refusal : refusals) {
    R_Reader &reader = readerOf(refusal.bytes);
    try {
      refusal.read(reader);
      ADD_FAILURE() << refusal.what << ": read without an error";
    } catch (const R_ReadingReadException &error) {
      EXPECT_EQ(0, std::string(error.what()).find("Problems reading binary file. errno (")) << refusal.what;
    }
  }
}

// Include chains: location 0 includes 1, which includes 2, and so on; the
// last of count locations has no parts.
std::string includeChain(std::uint32_t count) {
  ByteBuilder bytes;
  for (std::uint32_t id = 0; id < count; ++id)
    locationRecord(bytes, id, id == 0, id, id + 1 < count ? 1 : 0);
  return bytes;
}

// One macro history of count elements, each at a location without parts;
// held by location 0, which has no other part, when held is set.
std::string macroChain(std::uint32_t count, bool held = false) {
  ByteBuilder bytes;
  std::uint32_t id = 0;
  if (held)
    locationRecord(bytes, id++, true, 0, 4);
  for (std::uint32_t element = 0; element < count; ++element, ++id) {
    locationRecord(bytes, id, id == 0, id, 0);
    bytes.int32(0); // text 0, given in full once
    if (element == 0)
      bytes.text("M");
    bytes.byte(element + 1 < count ? 1 : 0);
  }
  return bytes;
}

// A macro history of two elements: the first at a location without parts,
// the second at the first of an include chain of that many locations. Held by
// location 0, which has no other part, when held is set.
std::string deepSecondElement(std::uint32_t chain, bool held) {
  ByteBuilder bytes;
  std::uint32_t id = 0;
  if (held)
    locationRecord(bytes, id++, true, 0, 4);
  locationRecord(bytes, id, id == 0, id, 0).int32(0).text("M").byte(1);
  ++id;
  for (std::uint32_t link = 0; link < chain; ++link, ++id)
    locationRecord(bytes, id, false, id, link + 1 < chain ? 1 : 0);
  return bytes.int32(0).byte(0); // text 0 again, the end of the history
}

std::uint32_t elementsOf(const U_RefPtr<U_MacroHistory> &history) {
  std::uint32_t elements = 0;
  for (const U_MacroHistory *element = history.pointer(); element; element = element->m_parent.pointer())
    ++elements;
  return elements;
}

std::uint32_t includeSteps(U_Location location) {
  std::uint32_t steps = 0;
  for (; location.hasInclLoc(); location = location.getInclLoc())
    ++steps;
  return steps;
}

// Locations that each include the one before by its id: every record is
// short, but the locations they make grow one level deeper each.
std::string growingByReference(std::uint32_t count) {
  ByteBuilder bytes;
  for (std::uint32_t id = 0; id < count; ++id) {
    locationRecord(bytes, id, id == 0, id, id == 0 ? 0 : 1);
    if (id > 0)
      bytes.int32(id - 1);
  }
  return bytes;
}

TEST_F(RecordReaderTest, NestingDepthIsLimited) {
  struct Depth {
    const char *what;
    std::string bytes;
    std::function<void(R_Reader &)> read;
    bool refused;
  };
  const auto location = [](R_Reader &r) { readBinaryLocation(r); };
  const auto history = [](R_Reader &r) { readMacroHistory(r); };
  const auto everyLocation = [](R_Reader &r) {
    while (!r.atEnd())
      readBinaryLocation(r);
  };
  // A location holding a history of that many elements, read whole.
  const auto heldHistoryOf = [](std::uint32_t elements) {
    return [elements](R_Reader &r) {
      EXPECT_EQ(elements, elementsOf(readBinaryLocation(r).getMacroHist()));
      EXPECT_TRUE(r.atEnd());
    };
  };
  // The second element's location of a history, on its own or held, with its
  // include chain of that many steps.
  const auto deepElementOf = [](std::uint32_t steps, bool held) {
    return [steps, held](R_Reader &r) {
      const U_RefPtr<U_MacroHistory> history =
          held ? readBinaryLocation(r).getMacroHist() : readMacroHistory(r);
      EXPECT_EQ(steps, includeSteps(history->m_parent->m_location));
      EXPECT_TRUE(r.atEnd());
    };
  };
  const Depth cases[] = {
      {"1000 nested include locations", includeChain(U_maxLocationDepth), location, false},
      {"1001 nested include locations", includeChain(U_maxLocationDepth + 1), location, true},
      {"100000 nested include locations", includeChain(100000), location, true},
      // A history is a list of at most 1000 elements, wherever it stands;
      // every element's location lies one level below the location holding
      // the history (on level 1 for a history on its own).
      {"a macro chain of 1000 elements", macroChain(U_maxLocationDepth), history, false},
      {"a macro chain of 1001 elements", macroChain(U_maxLocationDepth + 1), history, true},
      {"a location with a macro chain of 999 elements", macroChain(U_maxLocationDepth - 1, true), location,
       false},
      {"a location with a macro chain of 1000 elements", macroChain(U_maxLocationDepth, true),
       heldHistoryOf(U_maxLocationDepth), false},
      {"a location with a macro chain of 1001 elements", macroChain(U_maxLocationDepth + 1, true), location,
       true},
      {"a macro chain of 100000 elements", macroChain(100000), history, true},
      {"a location with a macro chain of 100000 elements", macroChain(100000, true), location, true},
      {"a second element on level 1 including 999 more", deepSecondElement(U_maxLocationDepth, false),
       deepElementOf(U_maxLocationDepth - 1, false), false},
      {"a second element on level 1 including 1000 more", deepSecondElement(U_maxLocationDepth + 1, false),
       history, true},
      {"a location whose second element includes 998 more", deepSecondElement(U_maxLocationDepth - 1, true),
       deepElementOf(U_maxLocationDepth - 2, true), false},
      {"a location whose second element includes 999 more", deepSecondElement(U_maxLocationDepth, true),
       location, true},
      {"1000 levels made by references", growingByReference(U_maxLocationDepth), everyLocation, false},
      {"1001 levels made by references", growingByReference(U_maxLocationDepth + 1), everyLocation, true},
  };
  for (const Depth &c : cases) {
    R_Reader &reader = readerOf(c.bytes);
    if (c.refused)
      EXPECT_THROW(c.read(reader), R_ReadingReadException) << c.what;
    else
      EXPECT_NO_THROW(c.read(reader)) << c.what;
  }
}

constexpr std::uint32_t limit = U_maxLocationDepth;

// An include chain of that many locations, the outermost first.
U_Location includeChainOf(std::uint32_t locations) {
  U_Location chain(mainFile(), 1, 0);
  for (std::uint32_t line = 2; line <= locations; ++line)
    chain = U_Location(chain, mainFile(), static_cast<std::int32_t>(line), 0);
  return chain;
}

// A macro history of that many elements, each at a location without parts.
U_RefPtr<U_MacroHistory> historyOf(std::uint32_t elements) {
  U_RefPtr<U_MacroHistory> history;
  for (std::uint32_t line = 1; line <= elements; ++line)
    history = new U_MacroHistory(U_Location(header(), static_cast<std::int32_t>(line), 0), U_Identifier("M"),
                                 history);
  return history;
}

// A macro history of two elements: the first at a location without parts,
// the second at the location given.
U_RefPtr<U_MacroHistory> secondElementAt(const U_Location &second) {
  const U_RefPtr<U_MacroHistory> last(
      new U_MacroHistory(second, U_Identifier("N"), U_RefPtr<U_MacroHistory>()));
  return U_RefPtr<U_MacroHistory>(new U_MacroHistory(U_Location(header(), 1, 0), U_Identifier("M"), last));
}

// The writer writes locations as deep as the reader takes, and refuses one
// level more before it would write a location that the reader refuses: the
// file it made is removed again. It writes them without recursing per level,
// on a stack too small for that; a chain of 100000 levels is refused, not a
// crash.
TEST_F(RecordReaderTest, WhatTheWriterWritesReadsBackAtTheNestingLimit) {
  struct Case {
    const char *what;
    std::function<void(R_Writer &)> write;
    std::function<void(R_Reader &)> readBack; // nothing when the writer refuses
  };
  const U_Location atTheLimit = includeChainOf(limit);
  const U_Location belowTheLimit = includeChainOf(limit - 1);
  const auto location = [](const U_Location &written) {
    return [written](R_Writer &w) { writeBinaryLocation(w, written, true); };
  };
  const auto historyAlone = [](const U_RefPtr<U_MacroHistory> &written) {
    return [written](R_Writer &w) { writeMacroHistory(w, written, true); };
  };
  const Case cases[] = {
      {"an include chain of 1000 locations", location(atTheLimit),
       [](R_Reader &r) { EXPECT_EQ(limit - 1, includeSteps(readBinaryLocation(r))); }},
      {"an include chain of 1001 locations", location(includeChainOf(limit + 1)), nullptr},
      {"an include chain of 100000 locations", location(includeChainOf(100000)), nullptr},
      {"a location with a macro history of 999 elements",
       location(U_Location(mainFile(), 1, 0, historyOf(limit - 1))),
       [](R_Reader &r) { EXPECT_EQ(limit - 1, elementsOf(readBinaryLocation(r).getMacroHist())); }},
      // A history is a list: its elements all lie one level below the
      // location holding it, and it holds at most 1000 of them.
      {"a location with a macro history of 1000 elements",
       location(U_Location(mainFile(), 1, 0, historyOf(limit))),
       [](R_Reader &r) { EXPECT_EQ(limit, elementsOf(readBinaryLocation(r).getMacroHist())); }},
      {"a location with a macro history of 1001 elements",
       location(U_Location(mainFile(), 1, 0, historyOf(limit + 1))), nullptr},
      {"a location whose second element includes 998 more",
       location(U_Location(mainFile(), 1, 0, secondElementAt(includeChainOf(limit - 1)))),
       [](R_Reader &r) {
         EXPECT_EQ(limit - 2, includeSteps(readBinaryLocation(r).getMacroHist()->m_parent->m_location));
       }},
      {"a location whose second element includes 999 more",
       location(U_Location(mainFile(), 1, 0, secondElementAt(includeChainOf(limit)))), nullptr},
      {"a second element on level 1 including 999 more", historyAlone(secondElementAt(includeChainOf(limit))),
       [](R_Reader &r) { EXPECT_EQ(limit - 1, includeSteps(readMacroHistory(r)->m_parent->m_location)); }},
      {"a second element on level 1 including 1000 more",
       historyAlone(secondElementAt(includeChainOf(limit + 1))), nullptr},
      {"a macro history of 1000 elements", [](R_Writer &w) { writeMacroHistory(w, historyOf(limit), true); },
       [](R_Reader &r) { EXPECT_EQ(limit, elementsOf(readMacroHistory(r))); }},
      {"a macro history of 1001 elements",
       [](R_Writer &w) { writeMacroHistory(w, historyOf(limit + 1), true); }, nullptr},
      {"a location of 999 levels, then instantiated from by its id",
       [&](R_Writer &w) {
         writeBinaryLocation(w, belowTheLimit, true);
         writeBinaryLocation(w, U_Location(header(), 1, 0).withInstFromLoc(belowTheLimit, nullptr), true);
       },
       [](R_Reader &r) {
         const U_Location first = readBinaryLocation(r);
         EXPECT_EQ(first, readBinaryLocation(r).getInstFromLoc()) << "the same object";
       }},
      {"a location of 1000 levels, then included by its id",
       [&](R_Writer &w) {
         writeBinaryLocation(w, atTheLimit, true);
         writeBinaryLocation(w, U_Location(atTheLimit, header(), 1, 0), true);
       },
       nullptr},
  };
  int count = 0;
  for (const Case &c : cases) {
    const std::string path = m_dir / ("deep" + std::to_string(++count) + ".err");
    test_support::runWithStack(128 * 1024, [&] {
      R_Writer writer(path);
      ASSERT_TRUE(writer.open());
      if (c.readBack) {
        c.write(writer);
        EXPECT_TRUE(writer.close());
      } else {
        EXPECT_THROW(c.write(writer), R_WritingException);
      }
    });
    if (!c.readBack) {
      EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
      continue;
    }
    R_Reader reader(path);
    ASSERT_TRUE(reader.open()) << c.what;
    c.readBack(reader);
    EXPECT_TRUE(reader.atEnd()) << c.what;
  }
}

TEST_F(RecordReaderTest, MacroChainOfThree) {
  ByteBuilder bytes;
  locationRecord(bytes, 0, true, 1, 0).int32(0).text("A").byte(1);
  locationRecord(bytes, 1, false, 2, 0).int32(1).text("B").byte(1);
  bytes.int32(0).int32(0).byte(0); // location 0 and text A again
  const U_RefPtr<U_MacroHistory> first = readMacroHistory(readerOf(bytes));
  ASSERT_TRUE(first.isSet());
  EXPECT_EQ(U_Identifier("A"), first->m_macroName);
  EXPECT_EQ(U_Identifier("B"), first->m_parent->m_macroName);
  EXPECT_EQ(U_Identifier("A"), first->m_parent->m_parent->m_macroName);
  EXPECT_EQ(first->m_location, first->m_parent->m_parent->m_location);
  EXPECT_FALSE(first->m_parent->m_parent->m_parent.isSet());
}

// What the writer writes, the reader rebuilds: locations, sharing and ids.
TEST_F(RecordReaderTest, RoundTrip) {
  const std::string path = m_dir / "round.err";
  const U_Location every = locationWithEveryPart();
  const U_Location included(every.getInclLoc(), mainFile(), 50, 1); // shares the include location
  const U_Location sjis(QL_Filename("/d/\x83\x5C.c", "\x83\x5C.c"), 1, 1);
  {
    R_Writer writer(path);
    ASSERT_TRUE(writer.open());
    writer.writeInt(0x9300);
    writeBinaryLocation(writer, every, false);
    writeBinaryLocation(writer, included, false);
    writeBinaryLocation(writer, every, false);
    writer.writeString("end");
    writeBinaryLocation(writer, sjis, false);
    writeMacroHistory(writer, every.getMacroHist(), false);
    ASSERT_TRUE(writer.close());
  }
  R_Reader reader(path);
  ASSERT_TRUE(reader.open());
  EXPECT_EQ(0x9300u, reader.readInt());
  const U_Location readEvery = readBinaryLocation(reader);
  const U_Location readIncluded = readBinaryLocation(reader);
  EXPECT_EQ(readEvery, readBinaryLocation(reader));
  EXPECT_EQ("end", reader.readString());
  const U_Location readSjis = readBinaryLocation(reader);
  const U_RefPtr<U_MacroHistory> history = readMacroHistory(reader);
  EXPECT_TRUE(reader.atEnd());

  EXPECT_EQ(readEvery.getInclLoc(), readIncluded.getInclLoc()) << "one object, as written";
  EXPECT_EQ(50, readIncluded.getLine());
  EXPECT_EQ("t1", readEvery.getInstEntity()->text());
  EXPECT_EQ(sjis.getFile().canonical().str(), readSjis.getFile().canonical().str());
  EXPECT_EQ(sjis.getFile().given().str(), readSjis.getFile().given().str());
  EXPECT_EQ(readEvery.getMacroHist()->m_location, history->m_location);
  EXPECT_EQ(U_Identifier("CMP"), history->m_parent->m_macroName);
  for (const auto &[written, read] : {std::pair(every, readEvery), std::pair(included, readIncluded)}) {
    EXPECT_TRUE(U_sameLocation(written, read));
    EXPECT_EQ(written.hasInclLoc(), read.hasInclLoc());
    EXPECT_EQ(written.hasMacroHist(), read.hasMacroHist());
    EXPECT_EQ(written.hasHLLoc(), read.hasHLLoc());
    EXPECT_EQ(written.hasInstFromLoc(), read.hasInstFromLoc());
    EXPECT_EQ(written.hasCalledFromLoc(), read.hasCalledFromLoc());
  }
}

} // namespace
