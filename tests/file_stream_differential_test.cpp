// The buffered file stream against the one-call-per-byte stream it
// replaced: random runs of every operation on twin files, the disk failing
// at the same byte for both. Every result and position, the error flag
// whenever it is looked at, and at the end every byte on disk must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "streams/kv_file_stream.h"
#include "streams/read_windows.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/package_file.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unbuffered_file_stream.h"

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
      : mainPath(mainPath),
        main(platform::kOpenReadWrite, mainPath.c_str()),
        other(platform::kOpenReadWrite, otherPath.c_str()) {}
  std::string mainPath;
  Stream main, other;
};

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

  // At the end both close alike and leave the same bytes on disk.
  void Run(int operations) {
    for (int i = 0; i < operations && !::testing::Test::HasFatalFailure(); ++i) Step();
    Both("end", [](auto& files) {
      files.main.Close();
      files.other.Close();
      return std::to_string(files.main.Error()) + std::to_string(files.other.Error());
    });
    EXPECT_EQ(ReadTestFile(folder_.Join("a")), ReadTestFile(folder_.Join("ra"))) << log_;
    EXPECT_EQ(ReadTestFile(folder_.Join("b")), ReadTestFile(folder_.Join("rb"))) << log_;
  }

 private:
  // The twin files exist before the streams open them.
  static bool WriteTwins(const TempFolder& folder, std::uint32_t seed, std::uint32_t fileSize) {
    const Bytes main = RandomBytes(fileSize, seed), other = RandomBytes(fileSize / 3 + 1, seed + 1);
    for (const char* name : {"a", "ra"}) WriteTestFile(folder.Join(name), main);
    for (const char* name : {"b", "rb"}) WriteTestFile(folder.Join(name), other);
    return true;
  }

  std::uint32_t Pick(std::uint32_t below) {
    return std::uniform_int_distribution<std::uint32_t>(0, below - 1)(random_);
  }
  // Counts across the sizes that take different paths: a few bytes, a
  // piece, a window of reads or more, the holding buffer of writes or more.
  std::int32_t Count() {
    static const std::uint32_t kBelow[] = {8, 300, 20000, 20000, 3, 3000};
    const std::uint32_t kind = Pick(6);
    const auto count = static_cast<std::int32_t>(Pick(kBelow[kind]) + (kind == 3 ? 60000 : 0));
    return kind == 4 ? -count : count;
  }
  // A place near where the stream stands, back in a region visited before
  // (inside its read window or just past its end), anywhere in the file, or
  // past its end. The reference answers without changing anything.
  std::uint32_t Place() {
    const std::uint32_t here = reference_.main.GetPosition();
    std::uint32_t place = Pick(Size() + 1);
    const std::uint32_t kind = Pick(5);
    if (kind == 0) place = here == 0xFFFFFFFFu ? 0 : here - std::min(here, Pick(400)) + Pick(400);
    if (kind == 1) place = Size() + Pick(1000);
    if (kind == 2 && !visited_.empty()) {
      // The latest place is most likely where the current window starts.
      const auto count = static_cast<std::uint32_t>(visited_.size());
      place = (Pick(2) == 0 ? visited_.back() : visited_[Pick(count)]) +
              Pick(3) * ReadWindows::kWindowSize + Pick(3);
      place -= std::min(place, std::uint32_t{1});
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
    ASSERT_EQ(fromBuffered, operation(reference_)) << "after " << log_;
  }

  void Step() {
    // Operations 0 to 6 only read, seek and look; runs that mostly read
    // keep many read windows alive to go back to.
    std::uint32_t operation = Pick(17);
    if (readMostly_ && operation > 6 && Pick(8) != 0) operation = Pick(7);
    const std::int32_t count = Count();
    const auto size = static_cast<std::uint32_t>(count);
    switch (operation) {
      case 0:
        return Both("ReadByte x" + std::to_string(size % 300), [&](auto& f) {
          Bytes bytes;
          for (std::uint32_t i = 0; i < size % 300; ++i) bytes.push_back(f.main.ReadByte());
          return Seen(bytes, 0);
        });
      case 1:
      case 2:
        return Both("ReadBlock " + std::to_string(count), [&](auto& f) {
          Bytes bytes(count > 0 ? count : 0);
          const std::int32_t got = f.main.ReadBlock(bytes.data(), count);
          bytes.resize(got > 0 ? got : 0);
          return Seen(bytes, got);
        });
      case 3:
      case 4: {
        const std::uint32_t place = Place();
        return Both("Seek " + std::to_string(place),
                    [&](auto& f) { return std::to_string(f.main.Seek(place)); });
      }
      case 5:
        return Both("SeekRelative " + std::to_string(count % 2000 - 1000), [&](auto& f) {
          return std::to_string(f.main.SeekRelative(count % 2000 - 1000));
        });
      case 6:
        return Both("GetPosition GetSize", [](auto& f) {
          return std::to_string(f.main.GetPosition()) + " " + std::to_string(f.main.GetSize());
        });
      case 7: {
        const Bytes bytes = RandomBytes(Pick(300), Pick(1000));
        return Both("WriteByte x" + std::to_string(bytes.size()), [&](auto& f) {
          for (std::uint8_t byte : bytes) f.main.WriteByte(byte);
          return std::string();
        });
      }
      case 8:
      case 9: {
        const Bytes bytes = RandomBytes(count > 0 ? count : 1, Pick(1000));
        return Both("WriteBlock " + std::to_string(count), [&](auto& f) {
          f.main.WriteBlock(bytes.data(), count);
          f.main.WriteWord(0xBEEF);
          return std::string();
        });
      }
      case 10:
      case 11: {
        const bool into = Pick(2) == 0;
        return Both(
            std::string(into ? "CopyFrom other " : "other.CopyFrom ") + std::to_string(count),
            [&](auto& f) {
              return std::to_string(into ? f.main.CopyFrom(f.other, size)
                                         : f.other.CopyFrom(f.main, size));
            });
      }
      case 12:
        return Both("CopyFrom itself " + std::to_string(size),
                    [&](auto& f) { return std::to_string(f.main.CopyFrom(f.main, size)); });
      case 13:
        return Both("Error", [](auto& f) {
          return std::to_string(f.main.Error()) + std::to_string(f.other.Error());
        });
      case 14: {
        // Flags 0 to 3, and now and then a stream left closed.
        const std::uint32_t flags = Pick(5);
        return Both("Reopen " + std::to_string(flags), [&](auto& f) {
          f.main.Close();
          if (flags < 4) f.main.Open(flags, f.mainPath.c_str());
          return std::to_string(f.main.IsOpen()) + std::to_string(f.main.Error());
        });
      }
      case 15:
        // Out of reach of a 32-bit seek; back to a place in the file then.
        return Both("Seek to the last position", [&](auto& f) {
          const int sought = f.main.Seek(0xFFFFFFFFu);
          const std::uint32_t position = f.main.GetPosition();
          const std::uint8_t byte = f.main.ReadByte();
          return std::to_string(sought) + " " + std::to_string(position) + " " +
                 std::to_string(byte) + " " + std::to_string(f.main.Seek(0));
        });
      default:
        // What was flushed is on disk for another reader (where the system
        // lets one in while the stream holds the file).
        return Both("Flush", [](auto& f) {
          f.main.Flush();
          return Seen(ReadTestFile(f.mainPath), 0);
        });
    }
  }

  const TempFolder& folder_;
  std::mt19937 random_;
  bool readMostly_, twinsWritten_;
  Files<TKVFStream> buffered_;
  Files<UnbufferedFileStream> reference_;
  std::vector<std::uint32_t> visited_;
  std::string log_;
};

TEST(FileStreamDifferential, RandomRunsAgreeWithTheUnbufferedStream) {
  // The faulty byte as a share of the file's size, in percent.
  const struct {
    const char* name;
    FaultKind kind;
    int percent;
  } cases[] = {{"no fault", FaultKind::kNone, 0},
               {"disk full inside the file", FaultKind::kFullFromByte, 60},
               {"disk full past the file", FaultKind::kFullFromByte, 110},
               {"unreadable byte", FaultKind::kUnreadableByte, 40}};
  // Files from empty to larger than all read windows together.
  const std::uint32_t sizes[] = {0, 1000, 100000, 700000};
  for (const auto& fault : cases) {
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

}  // namespace
