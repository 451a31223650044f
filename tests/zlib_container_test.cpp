// The compressed container's reader on intact and damaged containers,
// read by byte, in blocks of every size and by CopyFrom. The operations it
// shares with the other streams are in streams_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/package_writer.h"
#include "streams/kv_memory_streams.h"
#include "streams/kv_zlib_in_stream.h"
#include "tests/support/package_file.h"

using namespace builder;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Larger than both 8 KiB buffers and compressible, so bytes still inside
// the decompressor when the source runs dry must come out too.
const Bytes kPlain = [] {
  Bytes bytes = RandomBytes(60000, 5);
  for (std::uint8_t& b : bytes) b &= 0x0F;
  return bytes;
}();

Bytes Container(const Bytes& plain) {
  Bytes container;
  return CompressPackage(plain, 9, &container) ? container : Bytes();
}

struct Reader {
  explicit Reader(Bytes bytes)
      : data(std::move(bytes)),
        reader(new TKVFlatRamStream(data.data(), static_cast<std::uint32_t>(data.size())), 1) {}
  Bytes data;
  TKVZLibInStream reader;
};

enum class ReadBy { kByte, kBlocksOf1000, kOneBlock, kCopyFrom };

// Reads everything `by` the given means; the bytes delivered.
Bytes ReadAll(TKVZLibInStream& reader, ReadBy by) {
  Bytes out;
  std::uint8_t block[1000];
  TKVFlatRamStream sink(1, 4096);
  if (by == ReadBy::kByte)
    for (std::uint8_t b = reader.ReadByte(); reader.Error() == 0; b = reader.ReadByte())
      out.push_back(b);
  if (by == ReadBy::kBlocksOf1000)
    for (std::int32_t got = 1000; got == 1000; out.insert(out.end(), block, block + got))
      got = reader.ReadBlock(block, 1000);
  if (by == ReadBy::kOneBlock)
    out.resize(kPlain.size() + 10), out.resize(static_cast<std::size_t>(reader.ReadBlock(
                                        out.data(), static_cast<std::int32_t>(out.size()))));
  if (by == ReadBy::kCopyFrom)
    sink.CopyFrom(reader, static_cast<std::uint32_t>(kPlain.size() + 10)),
        out.assign(sink.data(), sink.data() + sink.GetSize());
  return out;
}

TEST(ZlibContainer, IntactAndDamagedContainersByEveryWayOfReading) {
  const Bytes intact = Container(kPlain);
  Bytes badTrailer = intact;
  badTrailer.back() ^= 0x55;
  // Every byte delivered, a true prefix of them, or either: bytes still
  // buffered when a block read meets the failure are not delivered.
  struct Case {
    const char* label;
    Bytes container;
    enum { kAll, kPrefix, kAllOrPrefix } delivered;
    TKVZLibInStream::State state;
  };
  const Case cases[] = {
      {"intact", intact, Case::kAll, TKVZLibInStream::kEnded},
      {"cut off in the middle", SliceBytes(intact, 0, intact.size() / 2), Case::kPrefix,
       TKVZLibInStream::kFailed},
      {"a damaged trailer", badTrailer, Case::kAllOrPrefix, TKVZLibInStream::kFailed}};
  for (const Case& c : cases) {
    for (ReadBy by : {ReadBy::kByte, ReadBy::kBlocksOf1000, ReadBy::kOneBlock, ReadBy::kCopyFrom}) {
      SCOPED_TRACE(std::string(c.label) + ", way " + std::to_string(static_cast<int>(by)));
      Reader container(c.container);
      const Bytes got = ReadAll(container.reader, by);
      if (c.delivered == Case::kAll) {
        EXPECT_EQ(got, kPlain);
      }
      ASSERT_GT(got.size(), 0u);
      ASSERT_LE(got.size() + (c.delivered == Case::kPrefix ? 1 : 0), kPlain.size());
      EXPECT_TRUE(std::equal(got.begin(), got.end(), kPlain.begin()));
      // A clean end is an error once a read goes past it.
      if (c.state == TKVZLibInStream::kEnded) container.reader.ReadByte();
      EXPECT_NE(container.reader.Error(), 0);
      EXPECT_EQ(container.reader.state(), c.state);
      // Once the flag is set nothing more comes until a rewind.
      std::uint8_t rest[16];
      EXPECT_EQ(container.reader.ReadBlock(rest, 16), 0);
      container.reader.Rewind();
      EXPECT_EQ(container.reader.Error(), 0);
      EXPECT_EQ(container.reader.ReadByte(), kPlain[0]);
    }
  }
}

}  // namespace
