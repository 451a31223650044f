#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "builder/package_writer.h"
#include "streams/kv_memory_streams.h"
#include "streams/kv_zlib_in_stream.h"

using namespace streams;
using namespace builder;

namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t x = 12345;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    // Half noise, half runs, so the data compresses but not to nothing.
    b = static_cast<std::uint8_t>((x >> 16) & 0x0F);
  }
  return bytes;
}

std::vector<std::uint8_t> Container(const std::vector<std::uint8_t>& plain) {
  std::vector<std::uint8_t> container;
  EXPECT_TRUE(CompressPackage(plain, 9, &container));
  return container;
}

struct ContainerReader {
  explicit ContainerReader(std::vector<std::uint8_t> bytes)
      : data(std::move(bytes)),
        stream(new TKVFlatRamStream(data.data(), static_cast<std::uint32_t>(data.size()),
                                    static_cast<std::uint32_t>(data.size()))),
        reader(stream, 1) {}
  std::vector<std::uint8_t> data;
  TKVFlatRamStream* stream;
  TKVZLibInStream reader;
};

TEST(ZlibContainer, DeliversTheWholePackageByteByByteAndInBlocks) {
  // Larger than both 8 KiB buffers, so bytes still inside the decompressor
  // when the source runs dry must come out too.
  const std::vector<std::uint8_t> plain = Pattern(100000);
  ContainerReader bytewise(Container(plain));
  for (std::size_t i = 0; i < plain.size(); ++i) {
    ASSERT_EQ(bytewise.reader.ReadByte(), plain[i]) << "at " << i;
  }
  EXPECT_EQ(bytewise.reader.Error(), 0);
  EXPECT_EQ(bytewise.reader.GetPosition(), plain.size());
  EXPECT_EQ(bytewise.reader.ReadByte(), 0);
  EXPECT_NE(bytewise.reader.Error(), 0);
  EXPECT_EQ(bytewise.reader.state(), TKVZLibInStream::kEnded);

  ContainerReader blockwise(Container(plain));
  std::vector<std::uint8_t> out(plain.size() + 10);
  EXPECT_EQ(blockwise.reader.ReadBlock(out.data(), 3), 3);
  EXPECT_EQ(blockwise.reader.ReadBlock(out.data() + 3, static_cast<std::int32_t>(plain.size() + 7)),
            static_cast<std::int32_t>(plain.size() - 3));
  EXPECT_EQ(blockwise.reader.Error(), 0);  // a short read at the end is clean
  out.resize(plain.size());
  EXPECT_EQ(out, plain);
}

TEST(ZlibContainer, SeeksForwardAndBackward) {
  const std::vector<std::uint8_t> plain = Pattern(30000);
  ContainerReader container(Container(plain));
  EXPECT_EQ(container.reader.Seek(100), 1);
  EXPECT_EQ(container.reader.Seek(50), 1);
  EXPECT_EQ(container.reader.ReadByte(), plain[50]);
  EXPECT_EQ(container.reader.Seek(20000), 1);
  EXPECT_EQ(container.reader.ReadByte(), plain[20000]);
  EXPECT_EQ(container.reader.GetSize(), 2147483632u);
}

TEST(ZlibContainer, RewindAfterTheEndStartsAgain) {
  const std::vector<std::uint8_t> plain = {1, 2, 3};
  ContainerReader container(Container(plain));
  std::uint8_t out[8];
  EXPECT_EQ(container.reader.ReadBlock(out, 8), 3);
  container.reader.ReadByte();
  EXPECT_NE(container.reader.Error(), 0);
  container.reader.Rewind();
  EXPECT_EQ(container.reader.Error(), 0);
  EXPECT_EQ(container.reader.ReadByte(), 1);
}

TEST(ZlibContainer, TruncatedDataDeliversWhatCameBeforeThenFails) {
  const std::vector<std::uint8_t> plain = Pattern(60000);
  std::vector<std::uint8_t> cut = Container(plain);
  cut.resize(cut.size() / 2);
  ContainerReader container(cut);
  std::vector<std::uint8_t> out(plain.size());
  const std::int32_t got =
      container.reader.ReadBlock(out.data(), static_cast<std::int32_t>(out.size()));
  EXPECT_GT(got, 0);
  EXPECT_LT(got, static_cast<std::int32_t>(plain.size()));
  EXPECT_NE(container.reader.Error(), 0);
  EXPECT_EQ(container.reader.state(), TKVZLibInStream::kFailed);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + got, plain.begin()));
}

TEST(ZlibContainer, CorruptTrailerFailsAtTheEnd) {
  const std::vector<std::uint8_t> plain = Pattern(5000);
  std::vector<std::uint8_t> bad = Container(plain);
  bad.back() ^= 0x55;
  ContainerReader container(bad);
  std::vector<std::uint8_t> out(plain.size() + 1);
  container.reader.ReadBlock(out.data(), static_cast<std::int32_t>(out.size()));
  EXPECT_NE(container.reader.Error(), 0);
  EXPECT_EQ(container.reader.state(), TKVZLibInStream::kFailed);
}

// CopyFrom takes runs of the output buffer straight into the destination;
// what it copies and the flag it leaves must be what ReadBlock gives, for
// intact and damaged containers alike.
TEST(ZlibContainer, CopyFromAgreesWithReadBlock) {
  const std::vector<std::uint8_t> plain = Pattern(60000);
  std::vector<std::uint8_t> cut = Container(plain);
  cut.resize(cut.size() / 2);
  std::vector<std::uint8_t> badTrailer = Container(plain);
  badTrailer.back() ^= 0x55;
  for (const std::vector<std::uint8_t>& container : {Container(plain), cut, badTrailer}) {
    ContainerReader byBlock(container);
    std::vector<std::uint8_t> read(plain.size() + 1);
    const std::int32_t got =
        byBlock.reader.ReadBlock(read.data(), static_cast<std::int32_t>(read.size()));
    read.resize(static_cast<std::size_t>(got));
    ContainerReader byCopy(container);
    TKVFlatRamStream sink(1, 4096);
    EXPECT_EQ(sink.CopyFrom(byCopy.reader, static_cast<std::uint32_t>(plain.size() + 1)),
              static_cast<std::uint32_t>(got));
    EXPECT_EQ(std::vector<std::uint8_t>(sink.data(), sink.data() + sink.GetSize()), read);
    EXPECT_EQ(byCopy.reader.Error(), byBlock.reader.Error());
    EXPECT_EQ(byCopy.reader.GetPosition(), byBlock.reader.GetPosition());
  }
}

TEST(ZlibContainer, OnceTheFlagIsSetNothingMoreComesUntilRewind) {
  const std::vector<std::uint8_t> plain = Pattern(5000);
  std::vector<std::uint8_t> bad = Container(plain);
  bad.back() ^= 0x55;
  ContainerReader container(bad);
  std::uint8_t byte = 0;
  std::size_t delivered = 0;
  while (container.reader.Error() == 0 && delivered <= plain.size()) {
    delivered += static_cast<std::size_t>(container.reader.ReadBlock(&byte, 1));
  }
  std::uint8_t rest[16];
  EXPECT_EQ(container.reader.ReadBlock(rest, 16), 0);
  EXPECT_EQ(container.reader.ReadByte(), 0);
  container.reader.Rewind();
  EXPECT_EQ(container.reader.ReadByte(), plain[0]);
}

TEST(ZlibContainer, RawDeflateWithoutWrapperFails) {
  std::vector<std::uint8_t> raw(6 + 64);
  std::memcpy(raw.data(), "[KVZ]", 6);
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  const std::uint8_t text[] = "raw deflate data";
  z.next_in = const_cast<std::uint8_t*>(text);
  z.avail_in = sizeof text;
  z.next_out = raw.data() + 6;
  z.avail_out = 64;
  deflate(&z, Z_FINISH);
  raw.resize(6 + 64 - z.avail_out);
  deflateEnd(&z);
  ContainerReader container(raw);
  EXPECT_EQ(container.reader.ReadByte(), 0);
  EXPECT_NE(container.reader.Error(), 0);
}

TEST(IsCompressedContainer, MatchesTheExactMarkerOnly) {
  struct Case {
    std::string bytes;
    int expected;
  };
  const Case cases[] = {
      {std::string("[KVZ]\0x", 7), 1},
      {std::string("[KVZ]!\0", 7), 0},
      {std::string("[kvz]\0", 6), 0},
      {std::string("[KVUPD]\0\x12", 9), 0},
      {std::string("[KVZ]xxxxxxxxxxxxxxxxxx\0", 24), 0},
      {std::string("[KVZ]"), 1},  // the end of the data ends the text too
  };
  for (const Case& c : cases) {
    TKVFlatRamStream stream(c.bytes.data(), static_cast<std::uint32_t>(c.bytes.size()));
    EXPECT_EQ(IsCompressedContainer(stream), c.expected) << c.bytes;
  }
  const std::string plain("[KVUPD]\0\x12", 9);
  TKVFlatRamStream stream(plain.data(), 9);
  IsCompressedContainer(stream);
  stream.Rewind();
  EXPECT_EQ(stream.GetPosition(), 0u);
  EXPECT_EQ(stream.ReadByte(), '[');

  const std::string longText("[KVZ]xxxxxxxxxxxxxxxxxx\0z", 25);
  TKVFlatRamStream consumed(longText.data(), 25);
  IsCompressedContainer(consumed);
  EXPECT_EQ(consumed.GetPosition(), 24u);  // the whole text, whatever was kept
}

TEST(ZlibContainer, NotAContainerFailsEveryRead) {
  const std::string plain("[KVUPD]\0", 8);
  auto* source = new TKVFlatRamStream(plain.data(), 8);
  TKVZLibInStream reader(source, 1);
  std::uint8_t out[4];
  EXPECT_EQ(reader.ReadBlock(out, 4), 0);
  EXPECT_EQ(reader.Error(), 0);
  EXPECT_EQ(reader.ReadByte(), 0);
  EXPECT_NE(reader.Error(), 0);
}

}  // namespace
