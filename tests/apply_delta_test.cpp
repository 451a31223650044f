#include "apply/apply_delta.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apply/progress_state.h"
#include "builder/delta_writer.h"
#include "package/package_reader.h"
#include "streams/kv_memory_streams.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

using namespace streams;
using namespace package;
using namespace apply;
using namespace builder;

namespace {

// A declared size that no stream of these tests reaches.
constexpr std::uint32_t kLargestSize = 0xFFFFFFFFu;

// A session whose package stream is the given delta bytes.
class DeltaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgressState();
    session_ = OpenEmptySession(folder_);
    session_->totalBytes = 1000001;
    user_.cancelQuestion = UiText(UiLine::kCancelQuestion);
  }

  void UsePackage(const std::vector<std::uint8_t>& bytes) {
    packageBytes_ = bytes;
    session_->package = std::make_unique<TKVFlatRamStream>(
        packageBytes_.data(), static_cast<std::uint32_t>(packageBytes_.size()));
  }

  // Runs one delta over `old` (null: no old file) into a fresh output.
  std::vector<std::uint8_t> Run(const std::vector<std::uint8_t>* old, int* result = nullptr) {
    std::unique_ptr<TKVFlatRamStream> oldFile;
    if (old != nullptr) {
      oldFile =
          std::make_unique<TKVFlatRamStream>(old->data(), static_cast<std::uint32_t>(old->size()));
    }
    output_ = std::make_unique<TKVFlatRamStream>(64, 4096);
    const int got = ApplyDelta(*session_, oldFile.get(), output_.get(), kLargestSize);
    if (result != nullptr) *result = got;
    return Written();
  }

  std::vector<std::uint8_t> Written() const {
    return std::vector<std::uint8_t>(output_->data(), output_->data() + output_->GetSize());
  }

  TempFolder folder_;
  ScriptedUser user_;
  std::unique_ptr<UpgradeSession> session_;
  std::vector<std::uint8_t> packageBytes_;
  std::unique_ptr<TKVFlatRamStream> output_;
};

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                std::size_t count) {
  return std::vector<std::uint8_t>(bytes.begin() + from, bytes.begin() + from + count);
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(DeltaTest, BaseStaysInForceAndAbsoluteCopiesIgnoreIt) {
  const std::vector<std::uint8_t> old = Pattern(0x20100, 9);
  DeltaWriter delta;
  delta.SetBase(2);
  delta.CopyBase8(0x0010, 4);
  delta.CopyAbs8(5, 3);
  delta.CopyBase8(0, 2);
  delta.End();
  UsePackage(delta.bytes());
  EXPECT_EQ(Run(&old), Join({Slice(old, 0x20010, 4), Slice(old, 5, 3), Slice(old, 0x20000, 2)}));
  EXPECT_EQ(session_->bytesDone, 1u + 9u);
}

TEST_F(DeltaTest, NextStreamStartsWithBaseZero) {
  const std::vector<std::uint8_t> old = Pattern(0x20100, 3);
  DeltaWriter first;
  first.SetBase(2);
  first.End();
  DeltaWriter second;
  second.CopyBase8(0x0004, 2);
  second.End();
  UsePackage(Join({first.bytes(), second.bytes()}));
  EXPECT_TRUE(Run(&old).empty());
  EXPECT_EQ(Run(&old), Slice(old, 4, 2));
}

TEST_F(DeltaTest, PositionAllOnesTakesBytesFromWhereTheOldFileStands) {
  const std::vector<std::uint8_t> old = Pattern(64, 4);
  DeltaWriter delta;
  delta.CopyAbs8(10, 3);
  delta.CopyAbs16(0xFFFFFFFFu, 2);
  // A copy of nothing still seeks, so the next unseeking copy reads there.
  delta.CopyAbs8(40, 0);
  delta.CopyAbs32(0xFFFFFFFFu, 2);
  // Base 0xFFFF0000 plus offset 0xFFFF is the same all-ones position.
  delta.SetBase(0xFFFF);
  delta.CopyBase8(0xFFFF, 1);
  delta.End();
  UsePackage(delta.bytes());
  EXPECT_EQ(Run(&old), Join({Slice(old, 10, 5), Slice(old, 40, 3)}));
}

TEST_F(DeltaTest, InsertWithoutOutputConsumesExactlyItsBytes) {
  const std::vector<std::uint8_t> literal = Pattern(1000, 8);
  DeltaWriter skipped;
  skipped.Insert16(literal.data(), 1000);
  skipped.End();
  DeltaWriter next;
  next.Insert8(reinterpret_cast<const std::uint8_t*>("ok"), 2);
  next.End();
  UsePackage(Join({skipped.bytes(), next.bytes()}));
  EXPECT_EQ(ApplyDelta(*session_, nullptr, nullptr, 1000), 0);
  EXPECT_EQ(session_->package->GetPosition(), skipped.bytes().size());
  EXPECT_EQ(session_->bytesDone, 1001u);
  EXPECT_EQ(Run(nullptr), Bytes("ok"));
}

TEST_F(DeltaTest, CopiesWithoutOldFileWriteNothingButCount) {
  const std::vector<std::uint8_t> old = Pattern(300, 1);
  DeltaWriter delta;
  delta.Insert8(reinterpret_cast<const std::uint8_t*>("a"), 1);
  delta.CopyAbs16(0, 300);
  delta.End();
  UsePackage(delta.bytes());
  EXPECT_EQ(Run(nullptr), Bytes("a"));
  EXPECT_EQ(session_->bytesDone, 302u);

  // With an old file but no output the bytes are read and dropped.
  UsePackage(delta.bytes());
  std::vector<std::uint8_t> copy = old;
  TKVFlatRamStream oldFile(copy.data(), 300);
  EXPECT_EQ(ApplyDelta(*session_, &oldFile, nullptr, 301), 0);
  EXPECT_EQ(oldFile.GetPosition(), 300u);
}

TEST_F(DeltaTest, UnknownCodesAreOneByteNoOps) {
  UsePackage({0x0B, 0x01, 0x02, 0x41, 0x42, 0x00});
  EXPECT_EQ(Run(nullptr), (std::vector<std::uint8_t>{0x41, 0x42}));
  UsePackage({0xFF, 0x00});
  EXPECT_TRUE(Run(nullptr).empty());
}

TEST_F(DeltaTest, EndAloneGivesAnEmptyFileAndCountsNothing) {
  UsePackage({0x00});
  EXPECT_TRUE(Run(nullptr).empty());
  EXPECT_EQ(session_->bytesDone, 1u);
}

TEST_F(DeltaTest, PiecesOfAtMost256EachFollowedByUpdateAndPoll) {
  const std::vector<std::uint8_t> old = Pattern(600, 2);
  DeltaWriter delta;
  delta.CopyAbs16(0, 600);
  delta.End();
  UsePackage(delta.bytes());
  // Every UpdateProgress draws when the last drawn value is forgotten.
  std::vector<std::string> events;
  user_.onDraw = [&](int) {
    events.push_back("update " + std::to_string(session_->bytesDone));
    LastPercent = -1;
  };
  user_.onPump = [&] {
    events.push_back("poll " + std::to_string(session_->bytesDone) + " wrote " +
                     std::to_string(output_->GetSize()));
  };
  EXPECT_EQ(Run(&old), old);
  EXPECT_EQ(events,
            (std::vector<std::string>{"update 1", "update 257", "poll 257 wrote 256", "update 513",
                                      "poll 513 wrote 512", "update 601", "poll 601 wrote 600"}));
}

TEST_F(DeltaTest, ConfirmedCancelEndsAfterTheCurrentPiece) {
  const std::vector<std::uint8_t> literal = Pattern(700, 6);
  DeltaWriter delta;
  delta.Insert16(literal.data(), 700);
  delta.End();
  UsePackage(delta.bytes());
  user_.cancelAtPump = 2;
  int result = -1;
  EXPECT_EQ(Run(nullptr, &result), Slice(literal, 0, 512));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Aborted, 1);
  EXPECT_EQ(user_.boxes.size(), 1u);
}

// `count` bytes of `old` from `from`, each plus its byte of `differences`.
std::vector<std::uint8_t> Added(const std::vector<std::uint8_t>& old, std::size_t from,
                                const std::vector<std::uint8_t>& differences, std::size_t count) {
  std::vector<std::uint8_t> sum(count);
  for (std::size_t i = 0; i < count; ++i)
    sum[i] = static_cast<std::uint8_t>(old[from + i] + differences[i]);
  return sum;
}

// AddDiff in an extended package, every width and every way of calling,
// each row run once; `written` is null where there is no output.
TEST_F(DeltaTest, AddDiffInExtendedPackages) {
  const std::vector<std::uint8_t> old = Pattern(1000, 3);
  const std::vector<std::uint8_t> diff = Pattern(700, 9);
  const std::vector<std::uint8_t> ok = Bytes("ok");
  struct Case {
    const char* name;
    std::function<void(DeltaWriter&)> write;
    bool withOld;
    bool withOutput;
    int cancelAtPump;
    std::vector<std::uint8_t> written;
    std::uint32_t counted;
    // Where the old file and the package stand afterwards (package: bytes
    // left unread).
    std::uint32_t oldPosition;
    std::uint32_t packageLeft;
    int result;
  };
  const Case cases[] = {
      {"8-bit count", [&](DeltaWriter& d) { d.AddDiff8(10, diff.data(), 3); }, true, true, 0,
       Added(old, 10, diff, 3), 3, 13, 0, 0},
      {"16-bit count, three pieces", [&](DeltaWriter& d) { d.AddDiff16(100, diff.data(), 600); },
       true, true, 0, Added(old, 100, diff, 600), 600, 700, 0, 0},
      {"32-bit count", [&](DeltaWriter& d) { d.AddDiff32(0, diff.data(), 300); }, true, true, 0,
       Added(old, 0, diff, 300), 300, 300, 0, 0},
      {"sums wrap at 256",
       [&](DeltaWriter& d) {
         const std::uint8_t big[] = {0xFF, 0x80, 0x01};
         d.AddDiff8(0, big, 3);
       },
       true, true, 0, Added(old, 0, {0xFF, 0x80, 0x01}, 3), 3, 3, 0, 0},
      {"no seek continues where a copy left the old file, a count of 0 still seeks",
       [&](DeltaWriter& d) {
         d.CopyAbs8(50, 4);
         d.AddDiff8(0xFFFFFFFFu, diff.data(), 5);
         d.AddDiff16(200, diff.data(), 0);
         d.CopyAbs8(0xFFFFFFFFu, 2);
       },
       true, true, 0, Join({Slice(old, 50, 4), Added(old, 54, diff, 5), Slice(old, 200, 2)}), 11,
       202, 0, 0},
      {"no old file: the differences are read, nothing is written",
       [&](DeltaWriter& d) {
         d.AddDiff16(0, diff.data(), 500);
         d.Insert8(ok.data(), 2);
       },
       false, true, 0, ok, 502, 0, 0, 0},
      {"no output: both streams are read past",
       [&](DeltaWriter& d) { d.AddDiff16(100, diff.data(), 400); },
       true,
       false,
       0,
       {},
       400,
       500,
       0,
       0},
      {"neither: only the package is read past",
       [&](DeltaWriter& d) { d.AddDiff8(7, diff.data(), 200); },
       false,
       false,
       0,
       {},
       200,
       0,
       0,
       0},
      {"cancel at the second piece", [&](DeltaWriter& d) { d.AddDiff16(0, diff.data(), 700); },
       true, true, 2, Added(old, 0, diff, 512), 512, 512, 700 - 512 + 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetProgressState();
    session_->bytesDone = 1;
    std::memcpy(session_->magic, kExtendedMagic, sizeof session_->magic);
    user_.cancelAtPump = c.cancelAtPump;
    user_.pumps = 0;
    DeltaWriter delta;
    c.write(delta);
    delta.End();
    UsePackage(delta.bytes());
    std::vector<std::uint8_t> oldCopy = old;
    TKVFlatRamStream oldFile(oldCopy.data(), static_cast<std::uint32_t>(oldCopy.size()));
    TKVFlatRamStream output(64, 4096);
    EXPECT_EQ(ApplyDelta(*session_, c.withOld ? &oldFile : nullptr,
                         c.withOutput ? &output : nullptr, kLargestSize),
              c.result);
    EXPECT_EQ(std::vector<std::uint8_t>(output.data(), output.data() + output.GetSize()),
              c.written);
    EXPECT_EQ(session_->bytesDone, 1 + c.counted);
    EXPECT_EQ(oldFile.GetPosition(), c.oldPosition);
    EXPECT_EQ(packageBytes_.size() - session_->package->GetPosition(), c.packageLeft);
  }
}

// A stream that ends inside an AddDiff's differences: what could be added
// is written, and the stream ends there without counting the rest.
TEST_F(DeltaTest, AddDiffCutShortByTheEndOfThePackage) {
  std::memcpy(session_->magic, kExtendedMagic, sizeof session_->magic);
  const std::vector<std::uint8_t> old = Pattern(100, 3);
  const std::vector<std::uint8_t> diff = Pattern(10, 9);
  DeltaWriter delta;
  delta.AddDiff8(20, diff.data(), 10);
  std::vector<std::uint8_t> cut = delta.bytes();
  cut.resize(cut.size() - 6);
  UsePackage(cut);
  int result = -1;
  EXPECT_EQ(Run(&old, &result), Added(old, 20, diff, 4));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(session_->bytesDone, 1u);
}

// In a classic package codes 11-13 keep their old meaning: one-byte no-ops,
// whose would-be operands are read as operations.
TEST_F(DeltaTest, AddDiffCodesAreNoOpsInClassicPackages) {
  UsePackage({kOpAddDiff8, 0x01, 0x02, 0x41, 0x42, 0x00});
  EXPECT_EQ(Run(nullptr), (std::vector<std::uint8_t>{0x41, 0x42}));
  std::memcpy(session_->magic, kExtendedMagic, sizeof session_->magic);
  const std::vector<std::uint8_t> old = Pattern(0x4400, 1);
  UsePackage({kOpAddDiff8, 0x00, 0x42, 0x00, 0x00, 0x02, 0x01, 0x01, 0x00});
  EXPECT_EQ(Run(&old), Added(old, 0x4200, {1, 1}, 2));
}

// Streams that ask for more than their entry declares or than the package
// holds. Each runs as an installed entry (old file and output) and as a
// skipped one (neither): the output gets at most the declared size and one
// byte, the package is left where the next stream starts (or at its end),
// both ways count the same, and the polls follow what is declared, not
// what is asked for.
struct BoundedRow {
  const char* label;
  std::vector<std::uint8_t> stream;
  std::uint32_t declared;
  std::vector<std::uint8_t> written;
  std::uint32_t counted;
  int maxPolls;
  bool hasOldFile;    // when installed: an Update, else an Add
  bool endsWithData;  // false: the package ends inside the stream
  bool extended = false;
};

std::vector<BoundedRow> BoundedRows(const std::vector<std::uint8_t>& old) {
  std::vector<BoundedRow> rows;
  DeltaWriter copies;
  for (int i = 0; i < 200; ++i) copies.CopyAbs32(0, static_cast<std::uint32_t>(old.size()));
  copies.End();
  rows.push_back({"copies of the old file far past the declared size", copies.bytes(), 1001,
                  Slice(old, 0, 1002), 200u * static_cast<std::uint32_t>(old.size()), 210, true,
                  true});

  const std::vector<std::uint8_t> literal = Pattern(1000, 3);
  DeltaWriter inserts;
  inserts.Insert16(literal.data(), 1000);
  inserts.End();
  rows.push_back({"literal bytes past the declared size are read, not written", inserts.bytes(), 10,
                  Slice(literal, 0, 11), 1000, 4, true, true});

  DeltaWriter sourceless;
  for (int i = 0; i < 3; ++i) sourceless.CopyAbs32(0, 0x01000000);
  sourceless.Insert8(reinterpret_cast<const std::uint8_t*>("abc"), 3);
  sourceless.End();
  rows.push_back({"copies without their source past the declared size", sourceless.bytes(), 3,
                  Bytes("abc"), 0x03000003, 6, false, true});

  DeltaWriter added;
  added.AddDiff16(0, literal.data(), 600);
  added.End();
  rows.push_back({"differences past the declared size are read, not added", added.bytes(), 10,
                  Added(old, 0, literal, 11), 600, 3, true, true, true});

  std::vector<std::uint8_t> cut = {kOpInsert32, 0x00, 0x00, 0x00, 0x01};
  for (char c : std::string("hello")) cut.push_back(static_cast<std::uint8_t>(c));
  rows.push_back({"an insert longer than the package ends at the end of the data", cut, 0x01000000,
                  Bytes("hello"), 0, 0, false, false});
  return rows;
}

TEST_F(DeltaTest, WorkIsBoundedByTheDeclaredSizeAndThePackage) {
  const std::vector<std::uint8_t> old = Pattern(65536, 11);
  DeltaWriter next;
  next.Insert8(reinterpret_cast<const std::uint8_t*>("ok"), 2);
  next.End();
  for (const BoundedRow& row : BoundedRows(old)) {
    SCOPED_TRACE(row.label);
    std::vector<std::uint8_t> bytes = row.stream;
    if (row.endsWithData) bytes.insert(bytes.end(), next.bytes().begin(), next.bytes().end());
    for (const bool installed : {true, false}) {
      SCOPED_TRACE(installed ? "installed" : "skipped");
      UsePackage(bytes);
      std::memcpy(session_->magic, row.extended ? kExtendedMagic : kClassicMagic,
                  sizeof session_->magic);
      session_->bytesDone = 1;
      user_.pumps = 0;
      TKVFlatRamStream oldFile(old.data(), static_cast<std::uint32_t>(old.size()));
      // Fixed room: an interpreter that ignored the bound would fill it.
      TKVFlatRamStream output(1 << 20, 0);
      TKVStream* from = installed && row.hasOldFile ? &oldFile : nullptr;
      EXPECT_EQ(ApplyDelta(*session_, from, installed ? &output : nullptr, row.declared), 0);
      if (installed) {
        EXPECT_EQ(std::vector<std::uint8_t>(output.data(), output.data() + output.GetSize()),
                  row.written);
      }
      EXPECT_EQ(session_->bytesDone, 1 + row.counted);
      EXPECT_LE(user_.pumps, row.maxPolls);
      if (row.endsWithData) {
        EXPECT_EQ(session_->package->GetPosition(), row.stream.size());
        EXPECT_EQ(Run(nullptr), Bytes("ok"));
      } else {
        EXPECT_EQ(session_->package->GetPosition(), bytes.size());
      }
    }
  }
}

}  // namespace
