// The delta interpreter: every operation with and without an old file and
// an output, its pieces and polls, and the bounds on the work a stream asks;
// the progress bar's percentage and when it is drawn, and the pauses that
// poll for a cancel: how long they poll, what the user is asked, and what a
// confirmed or refused cancel leaves.
#include "apply/apply_delta.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apply/progress.h"
#include "apply/progress_state.h"
#include "builder/delta_writer.h"
#include "package/package_reader.h"
#include "streams/kv_memory_streams.h"
#include "tests/support/package_file.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

// A declared size that no stream of these tests reaches.
constexpr std::uint32_t kLargestSize = 0xFFFFFFFFu;

// `count` bytes of `old` from `from`, each plus its byte of `differences`.
ByteVector Added(const ByteVector& old, std::size_t from, const ByteVector& differences,
                 std::size_t count) {
  ByteVector sum(count);
  for (std::size_t i = 0; i < count; ++i)
    sum[i] = static_cast<std::uint8_t>(old[from + i] + differences[i]);
  return sum;
}

// The stream `write` makes, ended.
ByteVector Stream(const std::function<void(DeltaWriter&)>& write) {
  DeltaWriter delta;
  write(delta);
  delta.End();
  return delta.bytes();
}

const ByteVector kNone;

// One stream (after `streamsBefore` others run the same way), with or
// without an old file and an output, its entry declaring `declared` bytes:
// what it writes, counts and returns, where it leaves the old file (-1: not
// looked at) and the package, and at most how often it polls.
struct Row {
  const char* label;
  bool extended;
  ByteVector stream;
  bool withOld, withOutput;
  ByteVector written;
  std::uint32_t counted;
  std::int64_t oldPosition;
  std::uint32_t packageLeft;
  int cancelAtPump = 0, result = 0, streamsBefore = 0;
  std::uint32_t declared = kLargestSize;
  int maxPolls = 1 << 30;
};

std::vector<Row> Rows(const ByteVector& old, const ByteVector& diff) {
  const ByteVector ok = Bytes("ok");
  const ByteVector whole = Stream([&](DeltaWriter& d) { d.AddDiff8(20, diff.data(), 10); });
  const ByteVector cut = SliceBytes(whole, 0, whole.size() - 7);
  // Streams that ask for more than their entry declares or than the package holds, each run as
  // an installed entry (old file and output) and as a skipped one (neither): the output gets at
  // most the declared size and one byte, the package is left where the next stream starts (or
  // at its end), both ways count the same, and the polls follow what is declared, not what is
  // asked for.
  const ByteVector next = Stream([&](DeltaWriter& d) { d.Insert8(ok.data(), 2); });
  const std::uint32_t after = static_cast<std::uint32_t>(next.size());
  const auto thenNext = [&](const std::function<void(DeltaWriter&)>& write) {
    return JoinBytes({Stream(write), next});
  };
  const ByteVector far = thenNext([](DeltaWriter& d) {
    for (int i = 0; i < 200; ++i) d.CopyAbs32(0, 65536);
  });
  const ByteVector literal = thenNext([&](DeltaWriter& d) { d.Insert16(diff.data(), 1000); });
  const ByteVector sourceless = thenNext([](DeltaWriter& d) {
    for (int i = 0; i < 3; ++i) d.CopyAbs32(0, 0x01000000);
    d.Insert8(reinterpret_cast<const std::uint8_t*>("abc"), 3);
  });
  const ByteVector differences =
      thenNext([&](DeltaWriter& d) { d.AddDiff16(0, diff.data(), 600); });
  const ByteVector longInsert = JoinBytes({ByteList({3, 0, 0, 0, 1}), Bytes("hello")});
  return {
      {"a base stays in force and absolute copies ignore it", false, Stream([](DeltaWriter& d) {
         d.SetBase(2);
         d.CopyBase8(0x0010, 4);
         d.CopyAbs8(5, 3);
         d.CopyBase8(0, 2);
       }),
       true, true,
       JoinBytes({SliceBytes(old, 0x20010, 4), SliceBytes(old, 5, 3), SliceBytes(old, 0x20000, 2)}),
       9, 0x20002, 0},
      {"the next stream starts with base 0", false,
       JoinBytes({Stream([](DeltaWriter& d) { d.SetBase(2); }),
                  Stream([](DeltaWriter& d) { d.CopyBase8(0x0004, 2); })}),
       true, true, SliceBytes(old, 4, 2), 2, 6, 0, 0, 0, 1},
      // Base 0xFFFF0000 plus offset 0xFFFF is the all-ones position too.
      {"position all-ones reads where the old file stands; a copy of nothing still seeks", false,
       Stream([](DeltaWriter& d) {
         d.CopyAbs8(10, 3);
         d.CopyAbs16(0xFFFFFFFFu, 2);
         d.CopyAbs8(40, 0);
         d.CopyAbs32(0xFFFFFFFFu, 2);
         d.SetBase(0xFFFF);
         d.CopyBase8(0xFFFF, 1);
       }),
       true, true, JoinBytes({SliceBytes(old, 10, 5), SliceBytes(old, 40, 3)}), 8, 43, 0},
      {"copies with no output read the old file past", false,
       Stream([](DeltaWriter& d) { d.CopyAbs16(0, 300); }), true, false, kNone, 300, 300, 0},
      {"unknown codes, 11-13 in a classic package too, are one-byte no-ops", false,
       ByteList({0x0B, 1, 2, 0x41, 0x42, 0xFF, 0}), false, true, Bytes("AB"), 2, -1, 0},
      {"End alone gives an empty file and counts nothing", false, ByteList({0}), false, true, kNone,
       0, -1, 0},
      {"a confirmed cancel ends after the current piece", false,
       Stream([&](DeltaWriter& d) { d.Insert16(diff.data(), 700); }), false, true,
       SliceBytes(diff, 0, 512), 512, -1, 700 - 512 + 1, 2, 1},
      {"AddDiff8's byte layout", true, ByteList({0x0B, 0, 0x42, 0, 0, 2, 1, 1, 0}), true, true,
       Added(old, 0x4200, {1, 1}, 2), 2, 0x4202, 0},
      {"AddDiff, 16-bit count, three pieces", true,
       Stream([&](DeltaWriter& d) { d.AddDiff16(100, diff.data(), 600); }), true, true,
       Added(old, 100, diff, 600), 600, 700, 0},
      {"AddDiff, 32-bit count", true,
       Stream([&](DeltaWriter& d) { d.AddDiff32(0, diff.data(), 300); }), true, true,
       Added(old, 0, diff, 300), 300, 300, 0},
      {"AddDiff with no seek goes on where a copy left the old file; a count of 0 still seeks",
       true, Stream([&](DeltaWriter& d) {
         d.CopyAbs8(50, 4);
         d.AddDiff8(0xFFFFFFFFu, diff.data(), 5);
         d.AddDiff16(200, diff.data(), 0);
         d.CopyAbs8(0xFFFFFFFFu, 2);
       }),
       true, true,
       JoinBytes({SliceBytes(old, 50, 4), Added(old, 54, diff, 5), SliceBytes(old, 200, 2)}), 11,
       202, 0},
      {"AddDiff with no old file reads the differences and writes nothing", true,
       Stream([&](DeltaWriter& d) {
         d.AddDiff16(0, diff.data(), 500);
         d.Insert8(ok.data(), 2);
       }),
       false, true, ok, 502, -1, 0},
      {"AddDiff with no output reads both streams past", true,
       Stream([&](DeltaWriter& d) { d.AddDiff16(100, diff.data(), 400); }), true, false, kNone, 400,
       500, 0},
      {"AddDiff cancelled at the second piece", true,
       Stream([&](DeltaWriter& d) { d.AddDiff16(0, diff.data(), 700); }), true, true,
       Added(old, 0, diff, 512), 512, 512, 700 - 512 + 1, 2, 1},
      {"AddDiff cut short by the end of the package writes what could be added", true, cut, true,
       true, Added(old, 20, diff, 4), 0, -1, 0},
      {"copies of the old file far past the declared size", false, far, true, true,
       SliceBytes(old, 0, 1002), 200u * 65536, -1, after, 0, 0, 0, 1001, 210},
      {"... skipped", false, far, false, false, kNone, 200u * 65536, -1, after, 0, 0, 0, 1001, 210},
      {"literal bytes past the declared size are read, not written", false, literal, true, true,
       SliceBytes(diff, 0, 11), 1000, -1, after, 0, 0, 0, 10, 4},
      {"... skipped", false, literal, false, false, kNone, 1000, -1, after, 0, 0, 0, 10, 4},
      {"copies without their source past the declared size", false, sourceless, false, true,
       Bytes("abc"), 0x03000003, -1, after, 0, 0, 0, 3, 6},
      {"differences past the declared size are read, not added", true, differences, true, true,
       Added(old, 0, diff, 11), 600, -1, after, 0, 0, 0, 10, 3},
      {"... skipped", true, differences, false, false, kNone, 600, -1, after, 0, 0, 0, 10, 3},
      {"an insert longer than the package ends at the end of the data", false, longInsert, false,
       true, Bytes("hello"), 0, -1, 0, 0, 0, 0, 0x01000000, 0},
      {"... skipped", false, longInsert, false, false, kNone, 0, -1, 0, 0, 0, 0, 0x01000000, 0},
  };
}

TEST(DeltaTest, EveryOperationWithAndWithoutOldFileAndOutput) {
  const ByteVector old = Pattern(0x20100, 9), diff = Pattern(1000, 8);
  for (const Row& row : Rows(old, diff)) {
    SCOPED_TRACE(row.label);
    PollingSession p;
    UpgradeSession& session = *p.session;
    session.totalBytes = 1000001;
    session.package = std::make_unique<TKVFlatRamStream>(
        row.stream.data(), static_cast<std::uint32_t>(row.stream.size()));
    std::memcpy(session.magic, row.extended ? kExtendedMagic : kClassicMagic, sizeof session.magic);
    p.user.cancelAtPump = row.cancelAtPump;
    // Fixed room: an interpreter that ignored the declared size would fill it.
    TKVFlatRamStream oldFile(old.data(), static_cast<std::uint32_t>(old.size())),
        output(1 << 20, 0), ignored(64, 4096);
    TKVStream* from = row.withOld ? &oldFile : nullptr;
    for (int i = 0; i < row.streamsBefore; ++i) ApplyDelta(session, from, &ignored, kLargestSize);
    session.bytesDone = 1;
    EXPECT_EQ(ApplyDelta(session, from, row.withOutput ? &output : nullptr, row.declared),
              row.result);
    EXPECT_EQ(ByteVector(output.data(), output.data() + output.GetSize()), row.written);
    EXPECT_EQ(session.bytesDone, 1 + row.counted);
    EXPECT_TRUE(row.oldPosition < 0 || oldFile.GetPosition() == row.oldPosition)
        << oldFile.GetPosition();
    EXPECT_EQ(row.stream.size() - session.package->GetPosition(), row.packageLeft);
    EXPECT_LE(p.user.pumps, row.maxPolls);
    // A cancel is asked once and confirmed.
    EXPECT_EQ(Aborted, row.result);
    EXPECT_EQ(p.user.boxes.size(), row.cancelAtPump != 0 ? 1u : 0u);
  }
}

// Counts on both sides of every step of the bar, up and back down, for totals with large and
// small divisors; the same total twice, since a new dialog starts again from 0 and must draw at
// once. The percentage divides the total first and adds one twice: a divisor of 3 never gets
// past 84, a divisor of 1 goes from 2 to 52.
TEST(Progress, DrawsExactlyWhenThePercentageChanges) {
  PollingSession p;
  for (std::uint32_t total : {1000001u, 251u, 51u, 12345u, 12345u, 0xFFFFFFFFu}) {
    ResetProgressState();
    p.session->totalBytes = total;
    const std::uint64_t divisor = total / 100 + 1;
    std::vector<std::uint64_t> counts;
    for (std::uint64_t step = 0; step <= 101; ++step) {
      for (std::uint64_t count : {step * divisor - 1, step * divisor, step * divisor + 1}) {
        if (count <= 0xFFFFFFFFu) counts.push_back(count);
      }
    }
    counts.insert(counts.end(), counts.rbegin(), counts.rend());
    // The count at which each draw came, and the percentage drawn.
    std::vector<std::pair<std::uint64_t, int>> expected, drawn;
    int last = 0;
    for (std::uint64_t count : counts) {
      p.session->bytesDone = static_cast<std::uint32_t>(count);
      const std::size_t drawsBefore = p.user.draws.size();
      UpdateProgress(*p.session);
      if (p.user.draws.size() != drawsBefore) drawn.emplace_back(count, p.user.draws.back());
      const int percent = static_cast<int>(std::min<std::uint64_t>(count / divisor + 1, 100));
      if (percent != last) expected.emplace_back(count, percent);
      last = percent;
    }
    EXPECT_EQ(drawn, expected) << "total " << total;
    EXPECT_EQ(LastPercent, last);
  }
}

// How many polls a pause of 100 ms makes: at most the budget when the clock stands, none when the
// deadline wraps or the run was aborted from within, and up to a confirmed cancel, which ends
// every later poll as well. A refused cancel is cleared and can be asked again.
TEST(Progress, APauseEndsAtItsBudgetItsDeadlineOrACancel) {
  const struct {
    const char* label;
    std::uint32_t clock;
    int cancelAtPump;
    int cancelAnswer;
    bool markedAborted;
    int pumps;
  } cases[] = {
      {"the budget, the clock standing", 1000, 0, platform::kIdYes, false, 49998},
      {"a wrapping deadline", 0xFFFFFFF0u, 0, platform::kIdYes, false, 0},
      {"a confirmed cancel", 1000, 3, platform::kIdYes, false, 3},
      {"a refused cancel", 1000, 3, platform::kIdNo, false, 49998},
      {"aborted from within", 1000, 0, platform::kIdYes, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    PollingSession p;
    p.user.clock = c.clock;
    p.user.clockStep = 0;
    p.user.cancelAtPump = c.cancelAtPump;
    p.user.cancelAnswer = c.cancelAnswer;
    if (c.markedAborted) MarkAborted();
    PumpFor(*p.session, 100);
    EXPECT_EQ(p.user.pumps, c.pumps);
    const int confirmed = c.cancelAtPump != 0 && c.cancelAnswer == platform::kIdYes ? 1 : 0;
    const int aborted = Aborted;
    EXPECT_EQ(aborted, confirmed == 1 || c.markedAborted ? 1 : 0);
    EXPECT_EQ(CancelRequested, confirmed);
    const std::vector<RecordedBox> asked = {
        {UiText(UiLine::kCancelQuestion), UiText(UiLine::kCaption), 0x2024u, p.user.dialog()}};
    EXPECT_EQ(p.user.boxes, c.cancelAtPump != 0 ? asked : std::vector<RecordedBox>());
    // Aborted answers without touching the queue; otherwise a second press asks again.
    p.user.cancelAnswer = platform::kIdYes;
    p.user.cancelAtPump = p.user.pumps + 1;
    EXPECT_EQ(PollCancel(*p.session), 1);
    EXPECT_EQ(p.user.pumps, aborted != 0 ? c.pumps : c.pumps + 1);
  }
}

}  // namespace
