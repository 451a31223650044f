// The buffered file stream against the one-call-per-byte stream it
// replaced: random runs of every operation on twin files, the disk failing
// at the same byte for both. Every result and position, the error flag
// whenever it is looked at, and at the end every byte on disk must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "package/file_stamp.h"
#include "platform/file_system.h"
#include "streams/kv_file_stream.h"
#include "streams/kv_memory_streams.h"
#include "streams/read_windows.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/package_file.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unbuffered_file_stream.h"

using namespace streams;
using namespace package;

namespace {

using Bytes = std::vector<std::uint8_t>;

// What an operation gave, as text: compared between the two streams and
// shown with the operations that led to a difference.
std::string Seen(const Bytes& bytes, std::int64_t result) {
  std::uint32_t hash = 2166136261u;
  for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 16777619u;
  return std::to_string(result) + " #" + std::to_string(bytes.size()) + ":" + std::to_string(hash);
}

// The main file and a second one to copy from and into, for one kind of
// stream.
template <class Stream>
struct Files {
  Files(const std::string& mainPath, const std::string& otherPath)
      : main(platform::kOpenReadWrite, mainPath.c_str()),
        other(platform::kOpenReadWrite, otherPath.c_str()) {}
  Stream main;
  Stream other;
};

// The names of the twin files, by kind of stream.
const char* MainName(const Files<TKVFStream>&) { return "a"; }
const char* MainName(const Files<UnbufferedFileStream>&) { return "ra"; }

class Differential {
 public:
  Differential(const TempFolder& folder, std::uint32_t seed, std::uint32_t fileSize,
               bool readMostly)
      : folder_(folder),
        random_(seed),
        readMostly_(readMostly),
        twinsWritten_(WriteTwins(folder, seed, fileSize)),
        buffered_(folder.Join("a"), folder.Join("b")),
        reference_(folder.Join("ra"), folder.Join("rb")) {}

  void Run(int operations) {
    for (int i = 0; i < operations && !::testing::Test::HasFatalFailure(); ++i) Step();
    Finish();
  }

  void SeekThenRead(std::uint32_t place) {
    Both("Seek " + std::to_string(place) + " ReadByte", [&](auto& files) {
      const int sought = files.main.Seek(place);
      return std::to_string(sought) + " " + std::to_string(files.main.ReadByte());
    });
  }

  void Finish() {
    Both("end", [](auto& files) {
      files.main.Close();
      files.other.Close();
      return std::to_string(files.main.Error()) + std::to_string(files.other.Error());
    });
    EXPECT_EQ(ReadTestFile(Path("a")), ReadTestFile(Path("ra"))) << log_;
    EXPECT_EQ(ReadTestFile(Path("b")), ReadTestFile(Path("rb"))) << log_;
  }

 private:
  // The twin files exist before the streams open them.
  static bool WriteTwins(const TempFolder& folder, std::uint32_t seed, std::uint32_t fileSize) {
    const Bytes main = RandomBytes(fileSize, seed);
    const Bytes other = RandomBytes(fileSize / 3 + 1, seed + 1);
    WriteTestFile(folder.Join("a"), main);
    WriteTestFile(folder.Join("ra"), main);
    WriteTestFile(folder.Join("b"), other);
    WriteTestFile(folder.Join("rb"), other);
    return true;
  }
  std::string Path(const char* name) const { return folder_.Join(name); }

  std::uint32_t Pick(std::uint32_t below) {
    return std::uniform_int_distribution<std::uint32_t>(0, below - 1)(random_);
  }
  // Counts across the sizes that take different paths: a few bytes, a
  // piece, a window of reads or more, the holding buffer of writes or more.
  std::int32_t Count() {
    switch (Pick(6)) {
      case 0:
        return static_cast<std::int32_t>(Pick(8));
      case 1:
        return static_cast<std::int32_t>(Pick(300));
      case 2:
        return static_cast<std::int32_t>(Pick(20000));
      case 3:
        return static_cast<std::int32_t>(60000 + Pick(20000));
      case 4:
        return -static_cast<std::int32_t>(Pick(3));
      default:
        return static_cast<std::int32_t>(Pick(3000));
    }
  }
  // A place near where the stream stands, back in a region visited before
  // (inside its read window or just past its end), anywhere in the file, or
  // past its end. The reference answers without changing anything.
  std::uint32_t Place() {
    const std::uint32_t here = reference_.main.GetPosition();
    std::uint32_t place = Pick(Size() + 1);
    switch (Pick(5)) {
      case 0:
        place = here == 0xFFFFFFFFu ? 0 : here - std::min(here, Pick(400)) + Pick(400);
        break;
      case 1:
        place = Size() + Pick(1000);
        break;
      case 2:
        if (!visited_.empty()) {
          // The latest place is most likely where the current window starts.
          const std::uint32_t base =
              Pick(2) == 0 ? visited_.back()
                           : visited_[Pick(static_cast<std::uint32_t>(visited_.size()))];
          place = base + Pick(3) * ReadWindows::kWindowSize + Pick(3);
          place -= std::min(place, std::uint32_t{1});
        }
        break;
      default:
        break;
    }
    if (visited_.size() == 16) visited_.erase(visited_.begin() + Pick(16));
    visited_.push_back(place);
    return place;
  }
  std::uint32_t Size() { return reference_.main.IsOpen() ? reference_.main.GetSize() : 0; }

  // Runs `operation` on both sets of files and compares what it gave.
  template <class Operation>
  void Both(const std::string& name, Operation operation) {
    log_ += name + "; ";
    const std::string fromBuffered = operation(buffered_);
    const std::string fromReference = operation(reference_);
    ASSERT_EQ(fromBuffered, fromReference) << "after " << log_;
  }

  void Step() {
    // Operations 0 to 8 only read, seek and look; runs that mostly read
    // keep many read windows alive to go back to.
    std::uint32_t operation = Pick(22);
    if (readMostly_ && operation > 8 && Pick(8) != 0) operation = Pick(9);
    switch (operation) {
      case 0: {
        const std::uint32_t count = Pick(300);
        Both("ReadByte x" + std::to_string(count), [&](auto& files) {
          Bytes bytes;
          for (std::uint32_t i = 0; i < count; ++i) bytes.push_back(files.main.ReadByte());
          return Seen(bytes, 0);
        });
        break;
      }
      case 1:
      case 2: {
        const std::int32_t count = Count();
        Both("ReadBlock " + std::to_string(count), [&](auto& files) {
          Bytes bytes(count > 0 ? count : 0);
          const std::int32_t got = files.main.ReadBlock(bytes.data(), count);
          bytes.resize(got > 0 ? got : 0);
          return Seen(bytes, got);
        });
        break;
      }
      case 3:
        Both("ReadWord ReadDword", [](auto& files) {
          return std::to_string(files.main.ReadWord()) + " " +
                 std::to_string(files.main.ReadDword());
        });
        break;
      case 4: {
        const std::uint32_t capacity = 1 + Pick(40);
        Both("ReadString " + std::to_string(capacity), [&](auto& files) {
          char text[64] = {};
          files.main.ReadString(text, capacity);
          return std::string(text);
        });
        break;
      }
      case 5:
      case 6: {
        const std::uint32_t place = Place();
        Both("Seek " + std::to_string(place),
             [&](auto& files) { return std::to_string(files.main.Seek(place)); });
        break;
      }
      case 7: {
        const auto distance = static_cast<std::int32_t>(Pick(4000)) - 2000;
        Both("SeekRelative " + std::to_string(distance),
             [&](auto& files) { return std::to_string(files.main.SeekRelative(distance)); });
        break;
      }
      case 8:
        Both("GetPosition GetSize", [](auto& files) {
          const std::uint32_t position = files.main.GetPosition();
          return std::to_string(position) + " " + std::to_string(files.main.GetSize());
        });
        break;
      case 9: {
        const Bytes bytes = RandomBytes(Pick(300), Pick(1000));
        Both("WriteByte x" + std::to_string(bytes.size()), [&](auto& files) {
          for (std::uint8_t byte : bytes) files.main.WriteByte(byte);
          return std::string();
        });
        break;
      }
      case 10:
      case 11: {
        const std::int32_t count = Count();
        const Bytes bytes = RandomBytes(count > 0 ? count : 1, Pick(1000));
        Both("WriteBlock " + std::to_string(count), [&](auto& files) {
          files.main.WriteBlock(bytes.data(), count);
          files.main.WriteWord(0xBEEF);
          return std::string();
        });
        break;
      }
      case 12:
      case 13: {
        const std::int32_t count = Count();
        const bool into = Pick(2) == 0;
        Both(std::string(into ? "CopyFrom other " : "other.CopyFrom ") + std::to_string(count),
             [&](auto& files) {
               auto& to = into ? files.main : files.other;
               auto& from = into ? files.other : files.main;
               return std::to_string(to.CopyFrom(from, static_cast<std::uint32_t>(count)));
             });
        break;
      }
      case 14: {
        const std::int32_t count = Count();
        Both("memory.CopyFrom " + std::to_string(count), [&](auto& files) {
          TKVFlatRamStream sink(1, 4096);
          const std::uint32_t copied = sink.CopyFrom(files.main, static_cast<std::uint32_t>(count));
          return Seen(Bytes(sink.data(), sink.data() + sink.GetSize()), copied);
        });
        break;
      }
      case 15: {
        const Bytes bytes = RandomBytes(Pick(70000), Pick(1000));
        const std::uint32_t count = Pick(80000);
        Both("CopyFrom memory " + std::to_string(count), [&](auto& files) {
          TKVFlatRamStream source(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
          return std::to_string(files.main.CopyFrom(source, count));
        });
        break;
      }
      case 16: {
        const auto count = static_cast<std::uint32_t>(Count());
        Both("CopyFrom itself " + std::to_string(count),
             [&](auto& files) { return std::to_string(files.main.CopyFrom(files.main, count)); });
        break;
      }
      case 17:
        Both("Error", [](auto& files) {
          return std::to_string(files.main.Error()) + std::to_string(files.other.Error());
        });
        break;
      case 18:
        Both("Rewind", [](auto& files) { return std::to_string(files.main.Rewind()); });
        break;
      case 19: {
        // Flags 0 to 3, and now and then a stream left closed.
        const std::uint32_t flags = Pick(5);
        Both("Reopen " + std::to_string(flags), [&](auto& files) {
          files.main.Close();
          if (flags < 4) files.main.Open(flags, Path(MainName(files)).c_str());
          return std::to_string(files.main.IsOpen()) + std::to_string(files.main.Error());
        });
        break;
      }
      case 20:
        // Out of reach of a 32-bit seek; back to a place in the file then.
        Both("Seek to the last position", [&](auto& files) {
          const int sought = files.main.Seek(0xFFFFFFFFu);
          const std::uint32_t position = files.main.GetPosition();
          const std::uint8_t byte = files.main.ReadByte();
          return std::to_string(sought) + " " + std::to_string(position) + " " +
                 std::to_string(byte) + " " + std::to_string(files.main.Seek(0));
        });
        break;
      default:
        Both("Flush", [](auto& files) {
          files.main.Flush();
          return std::string();
        });
        break;
    }
  }

  const TempFolder& folder_;
  std::mt19937 random_;
  bool readMostly_;
  bool twinsWritten_;
  Files<TKVFStream> buffered_;
  Files<UnbufferedFileStream> reference_;
  std::vector<std::uint32_t> visited_;
  std::string log_;
};

struct FaultCase {
  const char* name;
  FaultKind kind;
  // The faulty byte as a share of the file's size, in percent.
  int percent;
};

TEST(FileStreamDifferential, RandomRunsAgreeWithTheUnbufferedStream) {
  const FaultCase cases[] = {
      {"no fault", FaultKind::kNone, 0},
      {"disk full inside the file", FaultKind::kFullFromByte, 60},
      {"disk full past the file", FaultKind::kFullFromByte, 110},
      {"unreadable byte", FaultKind::kUnreadableByte, 40},
  };
  // Files from empty to larger than all read windows together.
  const std::uint32_t sizes[] = {0, 1000, 100000, 700000};
  for (const FaultCase& fault : cases) {
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
      const std::uint32_t size = sizes[seed % 4];
      SCOPED_TRACE(std::string(fault.name) + ", seed " + std::to_string(seed) + ", size " +
                   std::to_string(size));
      TempFolder folder;
      Differential run(folder, seed, size, seed % 2 == 1);
      FaultyFileSystem faulty(fault.kind, static_cast<int>(size / 100 * fault.percent + 7));
      run.Run(500);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

// Seeks at the edges of the window that a read has just filled, and of
// the windows before it, where a window's bytes end and the file's go on.
TEST(FileStreamDifferential, SeeksAtTheEdgesOfReadWindows) {
  TempFolder folder;
  Differential run(folder, 11, 200000, true);
  const std::uint32_t window = ReadWindows::kWindowSize;
  for (std::uint32_t start : {0u, 1000u, 70000u}) {
    for (std::uint32_t edge : {window - 1, window, window + 1, window + 2}) {
      run.SeekThenRead(start);
      run.SeekThenRead(start + edge);
      run.SeekThenRead(start + 1);
    }
  }
  run.SeekThenRead(199999);
  run.SeekThenRead(200000);
  run.SeekThenRead(200001);
  run.Finish();
}

// Bytes held back must reach the file before its times are set, or they
// would move its last-write time again when they go out.
TEST(FileStreamDifferential, TimesSetAfterHeldWritesStay) {
  TempFolder folder;
  const std::string path = folder.Join("t.bin");
  WriteTestFile(path, "x");
  const FileStamp wanted =
      MakeStamp((21u << 9) | (2u << 5) | 3u, (4u << 11) | (5u << 5) | 3u, 3, 0);
  {
    TKVFStream file(platform::kOpenReadWrite, path.c_str());
    file.WriteBlock("abc", 3);
    ASSERT_TRUE(file.SetDosTime(wanted));
  }
  FileStamp found;
  ASSERT_TRUE(ComputeFileStamp(path.c_str(), found));
  EXPECT_EQ(found.DateTime(), wanted.DateTime());
  EXPECT_EQ(+found.size, 3u);
}

}  // namespace
