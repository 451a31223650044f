#include "builder/delta_encoder.h"

#include <memory>

#include "builder/approximate_matches.h"
#include "builder/copy_addressing.h"
#include "builder/delta_writer.h"
#include "builder/suffix_array.h"

namespace builder {

namespace {

// An exact run inside an approximate match becomes a copy from this length
// on. A run of zero differences costs the container about one byte per
// kilobyte, a split about twelve bytes of operands; copies also apply
// faster than AddDiffs.
constexpr std::uint32_t kExactRunAsCopy = 8192;

// One insert per stretch however long, so the literal bytes lie together
// for the container's compression.
void InsertStretch(DeltaWriter& delta, const std::uint8_t* bytes, std::uint32_t count) {
  if (count > 0) delta.Insert(bytes, count);
}

EncodedDelta Finish(DeltaWriter& delta) {
  delta.End();
  return EncodedDelta{delta.bytes(), delta.literalBytes(), delta.zeroDifferences()};
}

// The position operand for old bytes from `position`: none (0xFFFFFFFF)
// where the old file's read position already stands there, which the
// container compresses better than a position.
std::uint32_t SeekTo(std::uint32_t position, std::uint32_t oldReadPosition) {
  return position == oldReadPosition ? 0xFFFFFFFFu : position;
}

// One approximate match: AddDiffs, with its long exact runs as copies.
void WriteApproximate(DeltaWriter& delta, const CopyMatch& match, const std::uint8_t* oldBytes,
                      const std::uint8_t* newBytes, std::vector<std::uint8_t>& differences,
                      std::uint32_t& oldReadPosition) {
  differences.resize(match.count);
  for (std::uint32_t i = 0; i < match.count; ++i)
    differences[i] = static_cast<std::uint8_t>(newBytes[match.newPosition + i] -
                                               oldBytes[match.oldPosition + i]);
  std::uint32_t done = 0;
  std::uint32_t at = 0;
  while (at < match.count) {
    if (differences[at] != 0) {
      ++at;
      continue;
    }
    std::uint32_t end = at;
    while (end < match.count && differences[end] == 0) ++end;
    if (end - at >= kExactRunAsCopy || (at == 0 && end == match.count)) {
      if (at > done) {
        delta.AddDiff(SeekTo(match.oldPosition + done, oldReadPosition), differences.data() + done,
                      at - done);
        oldReadPosition = match.oldPosition + at;
      }
      delta.CopyAbsolute(SeekTo(match.oldPosition + at, oldReadPosition), end - at);
      oldReadPosition = match.oldPosition + end;
      done = end;
    }
    at = end;
  }
  if (done < match.count) {
    delta.AddDiff(SeekTo(match.oldPosition + done, oldReadPosition), differences.data() + done,
                  match.count - done);
    oldReadPosition = match.oldPosition + match.count;
  }
}

}  // namespace

EncodedDelta EncodeDelta(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                         const std::uint8_t* newBytes, std::uint32_t newSize,
                         const MatchSettings& settings) {
  const std::vector<CopyMatch> copies = FindCopies(oldBytes, oldSize, newBytes, newSize, settings);
  const std::vector<CopyAddressing> plan = PlanCopyAddressing(copies);
  DeltaWriter delta;
  std::uint32_t done = 0;
  for (std::size_t i = 0; i < copies.size(); ++i) {
    const CopyMatch& copy = copies[i];
    InsertStretch(delta, newBytes + done, copy.newPosition - done);
    switch (plan[i]) {
      case CopyAddressing::kSetBase:
        delta.SetBase(static_cast<std::uint16_t>(copy.oldPosition >> 16));
        delta.CopyRelative(copy.oldPosition, copy.count);
        break;
      case CopyAddressing::kRelative:
        delta.CopyRelative(copy.oldPosition, copy.count);
        break;
      case CopyAddressing::kAbsolute:
        delta.CopyAbsolute(copy.oldPosition, copy.count);
        break;
    }
    done = copy.newPosition + copy.count;
  }
  InsertStretch(delta, newBytes + done, newSize - done);
  return Finish(delta);
}

EncodedDelta EncodeExtendedDelta(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                                 const std::uint8_t* newBytes, std::uint32_t newSize,
                                 const MatchSettings& settings) {
  const std::unique_ptr<std::int32_t[]> order = SortSuffixes(oldBytes, oldSize);
  if (!order) return EncodeDelta(oldBytes, oldSize, newBytes, newSize, settings);
  const std::vector<CopyMatch> matches =
      FindApproximateMatches(oldBytes, oldSize, order.get(), newBytes, newSize);
  DeltaWriter delta;
  std::vector<std::uint8_t> differences;
  // The interpreter's old file starts at position 0.
  std::uint32_t oldReadPosition = 0;
  std::uint32_t done = 0;
  for (const CopyMatch& match : matches) {
    InsertStretch(delta, newBytes + done, match.newPosition - done);
    WriteApproximate(delta, match, oldBytes, newBytes, differences, oldReadPosition);
    done = match.newPosition + match.count;
  }
  InsertStretch(delta, newBytes + done, newSize - done);
  return Finish(delta);
}

EncodedDelta EncodeInserts(const std::uint8_t* newBytes, std::uint32_t newSize) {
  DeltaWriter delta;
  InsertStretch(delta, newBytes, newSize);
  return Finish(delta);
}

}  // namespace builder
