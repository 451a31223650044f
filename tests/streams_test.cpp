#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "streams/kv_file_stream.h"
#include "streams/kv_memory_streams.h"
#include "tests/support/temp_folder.h"

using namespace streams;

namespace {

// A read-only stream over a string's bytes, its NULs included.
struct TextStream {
  explicit TextStream(const std::string& text) : bytes(text), stream(bytes.data(), bytes.size()) {}
  std::string bytes;
  TKVFlatRamStream stream;
};

TEST(ReadString, KeepsCapacityMinusOneAndConsumesTheWholeString) {
  TextStream source(std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + '\0' + "next" + '\0');
  char text[16];
  source.stream.ReadString(text, sizeof text);
  EXPECT_STREQ(text, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(source.stream.GetPosition(), 27u);
  source.stream.ReadString(text, 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(source.stream.GetPosition(), 32u);
  EXPECT_EQ(source.stream.Error(), 0);
}

TEST(ReadString, AtTheEndIsEmptyAndSetsTheError) {
  TextStream source("");
  char text[8] = "xxxxxxx";
  source.stream.ReadString(text, sizeof text);
  EXPECT_STREQ(text, "");
  EXPECT_NE(source.stream.Error(), 0);
}

TEST(ReadLine, SplitsOnLfDropsCrAndReportsFullLength) {
  TextStream source("ab\r\ncd");
  char line[8];
  EXPECT_EQ(source.stream.ReadLine(line, sizeof line), 2);
  EXPECT_STREQ(line, "ab");
  EXPECT_EQ(source.stream.Error(), 0);
  EXPECT_EQ(source.stream.ReadLine(line, sizeof line), 2);
  EXPECT_STREQ(line, "cd");
  EXPECT_NE(source.stream.Error(), 0);

  TextStream narrow("ab\r\ncd");
  EXPECT_EQ(narrow.stream.ReadLine(line, 2), 2);
  EXPECT_STREQ(line, "a");

  TextStream inner("a\rb\n");
  EXPECT_EQ(inner.stream.ReadLine(line, sizeof line), 2);
  EXPECT_STREQ(line, "ab");
}

TEST(Numbers, AreLittleEndian) {
  TextStream source(std::string("\x34\x12\x78\x56\x34\x12", 6));
  EXPECT_EQ(source.stream.ReadWord(), 0x1234);
  EXPECT_EQ(source.stream.ReadDword(), 0x12345678u);

  TKVFlatRamStream out(16, 0);
  out.WriteWord(0xBEEF);
  out.WriteDword(0x01020304);
  const std::uint8_t expected[] = {0xEF, 0xBE, 0x04, 0x03, 0x02, 0x01};
  EXPECT_EQ(std::vector<std::uint8_t>(out.data(), out.data() + 6),
            std::vector<std::uint8_t>(expected, expected + 6));
}

TEST(Numbers, MissingBytesReadAsZero) {
  TextStream source(std::string("\x34", 1));
  EXPECT_EQ(source.stream.ReadWord(), 0x0034);
}

TEST(CopyFrom, CopiesInStepsAndStopsAtAShortRead) {
  TKVFlatRamStream source(100000, 0);
  for (int i = 0; i < 50000; ++i) source.WriteByte(static_cast<std::uint8_t>(i * 7));
  source.Rewind();
  TKVFlatRamStream target(1, 4096);
  EXPECT_EQ(target.CopyFrom(source, 40000), 40000u);
  EXPECT_EQ(target.GetSize(), 40000u);
  EXPECT_EQ(source.GetPosition(), 40000u);
  EXPECT_EQ(target.data()[39999], static_cast<std::uint8_t>(39999 * 7));

  TKVFlatRamStream small(100, 0);
  for (int i = 0; i < 100; ++i) small.WriteByte(1);
  small.Rewind();
  TKVFlatRamStream sink(1, 4096);
  EXPECT_EQ(sink.CopyFrom(small, 40000), 100u);
}

TEST(CopyAll, RewindsTheSourceFirst) {
  TextStream source("hello");
  char ignored[4];
  source.stream.ReadString(ignored, sizeof ignored);
  TKVFlatRamStream target(1, 64);
  target.CopyAll(source.stream);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.data()), target.GetSize()), "hello");
}

TEST(BaseStream, EveryDataOperationFails) {
  TKVStream stream;
  EXPECT_EQ(stream.ReadByte(), 0);
  EXPECT_NE(stream.Error(), 0);
  EXPECT_EQ(stream.Rewind(), 0);  // clears, then the seek fails again
  EXPECT_NE(stream.Error(), 0);
  TKVStream other;
  EXPECT_EQ(other.GetPosition(), 0u);
  EXPECT_NE(other.Error(), 0);
  TKVStream third;
  EXPECT_EQ(third.GetSize(), 0u);
  EXPECT_NE(third.Error(), 0);
  TKVStream fourth;
  fourth.WriteByte(1);
  EXPECT_NE(fourth.Error(), 0);
}

TEST(Formatted, WritesCrBeforeEveryLfWithoutTerminator) {
  TKVFlatRamStream out(64, 0);
  out.WriteFormatted("a%d\nb", 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data()), out.GetSize()), "a7\r\nb");
}

TEST(Floats, RoundTripThroughText) {
  TKVFlatRamStream out(64, 0);
  out.WriteFloat(3.25f, 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.data())), "3.25");
  out.Rewind();
  EXPECT_FLOAT_EQ(out.ReadFloat(), 3.25f);
}

TEST(FileStream, OpenFlagsAndErrors) {
  TempFolder folder;
  const std::string path = folder.Join("data.bin");
  WriteTestFile(path, "0123456789");

  TKVFStream missing(platform::kOpenRead, folder.Join("missing.bin").c_str());
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_NE(missing.Error(), 0);
  EXPECT_EQ(missing.ReadByte(), 0);

  {
    TKVFStream reader(platform::kOpenRead, path.c_str());
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetSize(), 10u);
    EXPECT_EQ(reader.Seek(4), 1);
    EXPECT_EQ(reader.ReadByte(), '4');
    EXPECT_EQ(reader.SeekRelative(-2), 1);
    EXPECT_EQ(reader.GetPosition(), 3u);
    char block[16];
    EXPECT_EQ(reader.ReadBlock(block, 16), 7);  // short, no error
    EXPECT_EQ(reader.Error(), 0);
    EXPECT_EQ(reader.ReadByte(), 0);
    EXPECT_NE(reader.Error(), 0);
    reader.Close();
    EXPECT_NE(reader.Error(), 0);  // Close keeps the flag
    EXPECT_EQ(reader.Rewind(), 0);
  }

  {
    TKVFStream writer(platform::kOpenWrite, path.c_str());
    ASSERT_TRUE(writer.IsOpen());
    writer.WriteString("ab");
  }
  EXPECT_EQ(ReadTestFile(path), (std::vector<std::uint8_t>{'a', 'b', 0}));
}

TEST(FileStream, NoSharingKeepsASecondOpenOut) {
  TempFolder folder;
  const std::string path = folder.Join("held.bin");
  WriteTestFile(path, "x");
  TKVFStream first(platform::kOpenRead, path.c_str());
  ASSERT_TRUE(first.IsOpen());
  TKVFStream second(platform::kOpenRead, path.c_str());
  EXPECT_FALSE(second.IsOpen());
  first.Close();
  second.Open(platform::kOpenRead, path.c_str());
  EXPECT_TRUE(second.IsOpen());
  EXPECT_EQ(second.Error(), 0);
}

}  // namespace
