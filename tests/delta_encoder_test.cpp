// The delta encoder, checked by replaying its streams with the apply
// engine's interpreter.
#include "builder/delta_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "apply/apply_delta.h"
#include "apply/progress_state.h"
#include "builder/suffix_array.h"
#include "streams/kv_memory_streams.h"
#include "tests/support/package_file.h"
#include "tests/support/scripted_user.h"
#include "tests/support/upgrade_fixture.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

using Encoder = EncodedDelta (*)(const std::uint8_t*, std::uint32_t, const std::uint8_t*,
                                 std::uint32_t, const MatchSettings&);

// Both encoders, with the kind of package whose interpreter replays them.
struct EncoderKind {
  const char* name;
  Encoder encode;
  PackageKind kind;
};
const EncoderKind kEncoders[] = {{"classic", EncodeDelta, PackageKind::kClassic},
                                 {"extended", EncodeExtendedDelta, PackageKind::kExtended}};

// Bytes that cost something in the container: runs of zero differences
// come almost free.
std::size_t Weight(const EncodedDelta& delta) { return delta.bytes.size() - delta.zeroDifferences; }

class DeltaEncoderTest : public ::testing::Test {
 protected:
  // Rebuilds the new file from `old` and the stream, as the engine does.
  ByteVector Replay(const ByteVector& old, const ByteVector& delta, std::uint32_t newSize,
                    PackageKind kind) {
    ResetProgressState();
    std::memcpy(session_->magic, kind == PackageKind::kExtended ? kExtendedMagic : kClassicMagic,
                sizeof session_->magic);
    session_->package =
        std::make_unique<TKVFlatRamStream>(delta.data(), static_cast<std::uint32_t>(delta.size()));
    std::tie(session_->bytesDone, session_->totalBytes) = std::make_tuple(1, 0x7FFFFFFF);
    TKVFlatRamStream oldFile(old.data(), static_cast<std::uint32_t>(old.size())),
        output(64, 1 << 16);
    EXPECT_EQ(ApplyDelta(*session_, &oldFile, &output, newSize), 0);
    EXPECT_EQ(session_->package->GetPosition(), delta.size()) << "the stream ends at its End";
    return ByteVector(output.data(), output.data() + output.GetSize());
  }

  // Where one file is the start of the other, the encoder sees both as views of the longer one,
  // so the memory past the shorter agrees with the longer: a match that ran past either end would
  // still compare equal, and only the replay from the true old file shows it.
  EncodedDelta RoundTripWith(const EncoderKind& encoder, const ByteVector& old,
                             const ByteVector& now) {
    const ByteVector& longer = old.size() > now.size() ? old : now;
    const ByteVector& shorter = old.size() > now.size() ? now : old;
    const bool views = std::equal(shorter.begin(), shorter.end(), longer.begin());
    const EncodedDelta delta =
        encoder.encode(views ? longer.data() : old.data(), static_cast<std::uint32_t>(old.size()),
                       views ? longer.data() : now.data(), static_cast<std::uint32_t>(now.size()),
                       MatchSettings());
    EXPECT_TRUE(Replay(old, delta.bytes, static_cast<std::uint32_t>(now.size()), encoder.kind) ==
                now);
    EXPECT_LE(delta.literalBytes, now.size());
    return delta;
  }

  TempFolder folder_;
  ScriptedUser user_;
  std::unique_ptr<UpgradeSession> session_ = OpenEmptySession(folder_);
};

// Edits of a large file, and empty and tiny files: the replay gives the new
// file, for at most the given weight.
TEST_F(DeltaEncoderTest, StructuredEditsCostLittleMoreThanTheirNewBytes) {
  const ByteVector old = RandomBytes(200000, 1), fresh = RandomBytes(500, 2), none,
                   some = RandomBytes(3000, 4);
  const struct {
    const char* name;
    ByteVector old, now;
    std::size_t most;
  } cases[] = {
      {"insertion", old,
       JoinBytes({SliceBytes(old, 0, 70000), fresh, SliceBytes(old, 70000, 130000)}), 560},
      {"deletion", old, JoinBytes({SliceBytes(old, 0, 50000), SliceBytes(old, 90000, 110000)}), 30},
      {"moved blocks", old,
       JoinBytes({SliceBytes(old, 150000, 50000), SliceBytes(old, 0, 100000),
                  SliceBytes(old, 100000, 50000)}),
       40},
      {"identical", old, old, 10},
      {"empty to empty: End alone", none, none, 1},
      {"from empty: one insert", none, some, 3004},
      {"old is the start of new", SliceBytes(old, 0, 40000), SliceBytes(old, 0, 65536), 25560},
      {"new is the start of old", SliceBytes(old, 0, 65536), SliceBytes(old, 0, 40000), 10},
  };
  for (const EncoderKind& encoder : kEncoders) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(encoder.name) + ": " + c.name);
      EXPECT_LE(Weight(RoundTripWith(encoder, c.old, c.now)), c.most);
    }
  }
}

// Code that moved: every few dozen bytes a 32-bit address grows by the
// distance it moved, as in a program rebuilt with a function inserted.
// Copies break at each address; an AddDiff carries the stretch whole.
TEST_F(DeltaEncoderTest, ExtendedEncoderCarriesRelocatedCodeInAFewAddDiffs) {
  if (!CanSortSuffixes()) GTEST_SKIP() << "this build cannot sort suffixes";
  const ByteVector old = RandomBytes(120000, 7);
  ByteVector now =
      JoinBytes({SliceBytes(old, 0, 40000), RandomBytes(416, 8), SliceBytes(old, 40000, 80000)});
  std::mt19937 generator(9);
  for (std::size_t at = 40416; at + 4 < now.size(); at += 20 + generator() % 40) {
    std::uint32_t address = 0;
    std::memcpy(&address, &now[at], 4), address += 416, std::memcpy(&now[at], &address, 4);
  }
  const EncodedDelta classic = RoundTripWith(kEncoders[0], old, now);
  const EncodedDelta extended = RoundTripWith(kEncoders[1], old, now);
  // The inserted function, give or take the bytes at its edges.
  EXPECT_NEAR(static_cast<double>(extended.literalBytes), 416.0, 16.0);
  // Most of the difference bytes are 0, and what the rest cost is a
  // fraction of the classic stream's copies and inserts.
  EXPECT_GT(extended.zeroDifferences, 70000u);
  EXPECT_LT(Weight(extended) * 3, Weight(classic));
}

}  // namespace
