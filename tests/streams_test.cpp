// One table of stream operations run through every stream class that can
// hold the bytes: the buffered file stream, flat memory, the
// compressed-container reader and the digest stream. Each row is a script
// whose results are written down as text. (The unbuffered stream the file
// stream is compared with needs no row of its own: where it went wrong the
// comparison would fail, not pass.)
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "builder/package_writer.h"
#include "platform/file_system.h"
#include "streams/kv_digest_stream.h"
#include "streams/kv_file_stream.h"
#include "streams/kv_memory_streams.h"
#include "streams/kv_zlib_in_stream.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_folder.h"

using namespace streams;

namespace {

struct NoDigest final : ByteDigest {
  void Update(const std::uint8_t*, std::size_t) override {}
};

enum class Kind { kFile, kMemory, kContainer, kDigest };

// A stream of `kind` that holds `content`, opened for reading and writing
// where it can be.
class Holder {
 public:
  Holder(Kind kind, const std::string& content) : bytes_(content.begin(), content.end()) {
    const std::string path = folder_.Join("s.bin");
    WriteTestFile(path, bytes_);
    auto memory = std::make_unique<TKVFlatRamStream>(64, 64);
    memory->WriteBlock(bytes_.data(), static_cast<std::int32_t>(bytes_.size()));
    memory->Rewind();
    if (kind == Kind::kFile)
      stream_ = std::make_unique<TKVFStream>(platform::kOpenReadWrite, path.c_str());
    else if (kind == Kind::kMemory)
      stream_ = std::move(memory);
    else if (kind == Kind::kContainer && builder::CompressPackage(bytes_, 9, &container_))
      stream_ = std::make_unique<TKVZLibInStream>(
          new TKVFlatRamStream(container_.data(), static_cast<std::uint32_t>(container_.size())),
          1);
    else
      stream_ = std::make_unique<TKVDigestStream>(new TKVFStream(platform::kOpenRead, path.c_str()),
                                                  &digest_);
  }
  TKVStream& stream() { return *stream_; }
  // What the stream holds now, closed for the file kinds.
  std::vector<std::uint8_t> Contents() {
    if (auto* memory = dynamic_cast<TKVFlatRamStream*>(stream_.get()))
      return std::vector<std::uint8_t>(memory->data(), memory->data() + memory->GetSize());
    stream_.reset();
    return ReadTestFile(folder_.Join("s.bin"));
  }

 private:
  TempFolder folder_;
  std::vector<std::uint8_t> bytes_, container_;
  NoDigest digest_;
  std::unique_ptr<TKVStream> stream_;
};

// Results in the order the operations ran, each followed by a blank; the
// error flag as e0 or e1.
struct Log {
  std::ostringstream text;
  TKVStream& s;
  Log& operator<<(std::int64_t value) {
    text << value << ' ';
    return *this;
  }
  Log& operator<<(const std::string& value) {
    text << value << ' ';
    return *this;
  }
  Log& Err() {
    text << 'e' << s.Error() << ' ';
    return *this;
  }
};

// expectedInMemory: where flat memory differs, its blocks being read byte
// by byte.
struct Row {
  const char* label;
  std::string content;
  std::function<void(TKVStream&, Log&)> script;
  std::string expected;
  const char* expectedInMemory = nullptr;
};

const std::string kAlphabet = std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + '\0' + "next" + '\0';

const Row kReadRows[] = {
    {"reading past the end gives 0 and the flag; Rewind clears it", "ab",
     [](TKVStream& s, Log& o) {
       o << s.ReadByte() << s.ReadByte();
       o.Err() << s.ReadByte();
       o.Err() << s.Rewind();
       o.Err() << s.ReadByte() << s.GetPosition();
     },
     "97 98 e0 0 e1 1 e0 97 1 "},
    {"a block cut short by the end is clean", "0123456789",
     [](TKVStream& s, Log& o) {
       char block[16] = {};
       o << s.Seek(3) << s.ReadBlock(block, 16);
       o.Err() << block << s.GetPosition() << s.ReadBlock(block, 4);
     },
     "1 7 e0 3456789 10 0 ", "1 7 e1 3456789 10 0 "},
    {"seeks go forward and back", std::string(3000, 'x') + "yz",
     [](TKVStream& s, Log& o) {
       o << s.Seek(3001) << s.Seek(2999) << s.ReadByte() << s.ReadByte() << s.GetPosition();
     },
     "1 1 120 121 3001 "},
    {"numbers are little-endian and missing bytes read as 0", "\x34\x12\x78\x56\x34\x12\x34",
     [](TKVStream& s, Log& o) { o << s.ReadWord() << s.ReadDword() << s.ReadWord(); },
     "4660 305419896 52 "},
    {"a string keeps capacity - 1 and consumes the whole string", kAlphabet,
     [](TKVStream& s, Log& o) {
       char text[16];
       s.ReadString(text, sizeof text);
       o << text << s.GetPosition();
       s.ReadString(text, 1);
       o << ("[" + std::string(text) + "]") << s.GetPosition();
       o.Err();
     },
     "ABCDEFGHIJKLMNO 27 [] 32 e0 "},
    {"lines split on LF, drop CR and report the full length", "ab\r\ncd\na\rbc\nxy",
     [](TKVStream& s, Log& o) {
       char line[8];
       o << s.ReadLine(line, sizeof line) << line;
       o.Err() << s.ReadLine(line, 2) << line;
       for (int i = 0; i < 2; ++i) o << s.ReadLine(line, sizeof line) << line;
       o.Err();
     },
     "2 ab e0 2 c 3 abc 2 xy e1 "},
    {"a float is read from its text", std::string("3.25\0", 5),
     [](TKVStream& s, Log& o) { o << static_cast<int>(s.ReadFloat() * 100); }, "325 "},
    {"CopyFrom copies in steps and stops at a short read; CopyAll rewinds first",
     std::string(50000, 'q'),
     [](TKVStream& s, Log& o) {
       TKVFlatRamStream sink(1, 4096);
       o << sink.CopyFrom(s, 40000) << s.GetPosition();
       o << sink.CopyFrom(s, 40000) << sink.GetSize();
       sink.CopyAll(s);
       o << sink.GetSize();
     },
     "40000 40000 10000 50000 100000 "},
};

TEST(Streams, ReadOperationsAgreeInEveryStreamClass) {
  for (const Kind kind : {Kind::kFile, Kind::kMemory, Kind::kContainer, Kind::kDigest}) {
    for (const Row& row : kReadRows) {
      Holder holder(kind, row.content);
      Log log{{}, holder.stream()};
      row.script(holder.stream(), log);
      const bool memory = kind == Kind::kMemory && row.expectedInMemory != nullptr;
      EXPECT_EQ(log.text.str(), memory ? row.expectedInMemory : row.expected)
          << static_cast<int>(kind) << ": " << row.label;
    }
  }
}

TEST(Streams, WritesGiveTheSameBytesInEveryWritableClass) {
  const struct {
    const char* label;
    std::string content;
    std::function<void(TKVStream&)> script;
    std::string expected;
  } kWriteRows[] = {
      {"numbers are written little-endian", "",
       [](TKVStream& s) {
         s.WriteWord(0xBEEF);
         s.WriteDword(0x01020304);
       },
       "\xEF\xBE\x04\x03\x02\x01"},
      {"a string with its NUL, formatted text with CR before LF, a float's text", "",
       [](TKVStream& s) {
         s.WriteString("ab");
         s.WriteFormatted("a%d\nb", 7);
         s.WriteFloat(3.25f, 2);
       },
       std::string("ab\0a7\r\nb3.25\0", 13)},
      {"writing in the middle overwrites and keeps the size", "abcde",
       [](TKVStream& s) {
         s.Seek(2);
         s.WriteByte('X');
       },
       "abXde"},
  };
  for (const Kind kind : {Kind::kFile, Kind::kMemory}) {
    for (const auto& row : kWriteRows) {
      Holder holder(kind, row.content);
      row.script(holder.stream());
      EXPECT_EQ(holder.stream().Error(), 0) << static_cast<int>(kind) << ": " << row.label;
      const std::vector<std::uint8_t> bytes = holder.Contents();
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), row.expected)
          << static_cast<int>(kind) << ": " << row.label;
    }
  }
}

// A byte the disk cannot give: reads end just before it, a read that starts
// on it fails and sets the flag, and the stream reads on after a seek.
TEST(Streams, AFailedSystemReadEndsTheReadAndSetsTheFlag) {
  for (const Kind kind : {Kind::kFile, Kind::kDigest}) {
    SCOPED_TRACE(static_cast<int>(kind));
    Holder holder(kind, "0123456789");
    FaultyFileSystem faults(FaultKind::kUnreadableByte, 4);
    TKVStream& s = holder.stream();
    char block[16] = {};
    EXPECT_EQ(s.ReadBlock(block, 16), 4);
    EXPECT_STREQ(block, "0123");
    EXPECT_EQ(s.ReadByte(), 0);
    EXPECT_NE(s.Error(), 0);
    if (kind == Kind::kDigest) continue;  // the digest stream only goes forward
    EXPECT_EQ(s.Seek(5), 1);
    EXPECT_EQ(s.ReadByte(), '5');
  }
}

// What only one class does: read-only memory seeks no further than its end
// and refuses to grow, the sizer, and a file that cannot be opened leaves
// the flag set.
TEST(Streams, ClassSpecificLimits) {
  TKVFlatRamStream readOnly("abc", 3);
  EXPECT_EQ((std::vector<int>{readOnly.Seek(4), readOnly.Seek(3), readOnly.Error()}),
            (std::vector<int>{0, 1, 0}));
  readOnly.WriteByte('z');
  EXPECT_NE(readOnly.Error(), 0);

  TKVSizerStream sizer;
  for (int i = 0; i < 1000; ++i) sizer.WriteByte(0xFF);
  EXPECT_EQ((std::vector<int>{sizer.Seek(1001), sizer.Seek(10)}), (std::vector<int>{0, 1}));
  sizer.ZeroFill(5);
  EXPECT_EQ((std::vector<std::uint32_t>{sizer.GetSize(), sizer.GetPosition()}),
            (std::vector<std::uint32_t>{5, 0}));

  TempFolder folder;
  TKVFStream missing(platform::kOpenRead, folder.Join("missing.bin").c_str());
  EXPECT_EQ((std::vector<int>{missing.IsOpen(), missing.Error() != 0}), (std::vector<int>{0, 1}));
}

}  // namespace
