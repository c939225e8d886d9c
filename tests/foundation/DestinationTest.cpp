#include "foundation/Destination.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <bit>
#include <sstream>
#include <string>

namespace {

class FileDestinationTest : public ::testing::Test {
protected:
  std::string contents() const { return test_support::readFile(m_path); }

  test_support::ScratchDirectory m_dir;
  const std::string m_path = m_dir / "out.bin";
};

TEST(StreamDestinationTest, WritesIntegerMostSignificantFirstBytesAndTexts) {
  std::ostringstream out;
  StreamDestination destination(&out);
  destination.PutInt(0x01020304);
  destination.PutInt(-2);
  destination.PutChar(0xA4);
  destination.PutChar(0x00);
  destination.PutString(CountedString("\x1B$B"));
  destination.Close(); // the stream stays the caller's
  destination.PutChar('z');
  EXPECT_EQ(std::string("\x01\x02\x03\x04\xFF\xFF\xFF\xFE\xA4\x00\x1B$Bz", 14), out.str());
}

TEST(StreamDestinationTest, WithoutStreamDoesNothing) {
  StreamDestination destination(nullptr);
  destination.PutInt(1);
  destination.PutChar('a');
  destination.PutString(CountedString("abc"));
  destination.Close();
}

TEST(StringDestinationTest, CollectsBytesAndTextsButNoIntegers) {
  StringDestination destination;
  destination.PutInt(0x01020304);
  EXPECT_EQ(0u, destination.text().length());
  destination.PutChar(0xB0);
  destination.PutChar(0xA1);
  CountedString escape("\x1B(J");
  destination.PutString(escape);
  destination.Close();
  EXPECT_EQ(CountedString("\xB0\xA1\x1B(J"), destination.text());
  EXPECT_EQ(1u, escape.useCount()); // the text handed over was released
}

TEST_F(FileDestinationTest, WritesIntegerInMachineOrderBytesAndTexts) {
  FileDestination destination;
  ASSERT_TRUE(destination.open(CountedString(m_path)));
  destination.PutInt(0x01020304);
  destination.PutChar(0xFF);
  destination.PutChar(0x00);
  destination.PutString(CountedString("\x1B$@"));
  destination.Close();
  destination.Close();      // twice is harmless
  destination.PutChar('z'); // closed: nothing
  std::string integer = std::endian::native == std::endian::little ? std::string("\x04\x03\x02\x01")
                                                                   : std::string("\x01\x02\x03\x04");
  EXPECT_EQ(integer + std::string("\xFF\x00\x1B$@", 5), contents());
}

TEST_F(FileDestinationTest, AttachTakesCallersStreamAndOpenFailureIsReported) {
  FileDestination destination;
  EXPECT_FALSE(destination.attach(nullptr));
  destination.PutChar('a'); // no stream: nothing
  std::FILE *stream = std::fopen(m_path.c_str(), "wb");
  ASSERT_NE(nullptr, stream);
  EXPECT_TRUE(destination.attach(stream));
  destination.PutString(CountedString("attached"));
  destination.Close();
  EXPECT_EQ("attached", contents());

  EXPECT_FALSE(destination.open(CountedString(m_dir / "no/such/dir.txt")));
  destination.PutChar('a');
  destination.Close();
}

} // namespace
