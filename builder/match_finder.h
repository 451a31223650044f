// Finds the stretches of a new file that can be copied from the old file.
//
// The old file is indexed by fingerprints of short blocks; every position of
// the new file is looked up, and each candidate is extended forwards and
// backwards as far as the bytes agree. The copy that saves the most bytes
// over inserting them wins, with one position of look-ahead in case the next
// byte starts a better copy. Besides the index, the copies that continue the
// last few copies' offsets are always tried, which finds the stretches
// between small changes (moved addresses in a program, edited words in a
// text).
//
// Memory: the two files (the caller's) and an index of the old file: eight
// bytes per old byte up to 1 MiB, four up to 16 MiB, two above. Time: linear
// in the new file, with a bounded number of candidates per position.
#pragma once

#include <cstdint>
#include <vector>

namespace builder {

// How hard the search tries. The defaults are fast; `upgtool build --best`
// takes kThoroughMatches, which finds about 1% more on large programs for
// about twice the time and memory.
struct MatchSettings {
  // Every position of the old file in the index, not one in 2 or 4 above
  // 1 MiB.
  bool indexEveryPosition = false;
  // The least saving for which a copy is taken. A smaller copy would split
  // an insert (two more bytes), and literal bytes compress better than
  // operands do: 6 gave the smallest containers on programs and texts.
  std::int64_t minSaving = 6;
  // Offsets of the last copies tried at every position, at most 16.
  int recentOffsets = 4;
};
constexpr MatchSettings kThoroughMatches{true, 5, 16};

struct CopyMatch {
  std::uint32_t newPosition;
  std::uint32_t oldPosition;
  std::uint32_t count;
};

// The copies, in increasing and non-overlapping new positions; the bytes
// between them are to be inserted. The same input gives the same copies.
std::vector<CopyMatch> FindCopies(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                                  const std::uint8_t* newBytes, std::uint32_t newSize,
                                  const MatchSettings& settings = MatchSettings());

// Bytes that a copy of `count` bytes takes in a delta stream as a CopyAbs.
std::uint32_t AbsoluteCopyCost(std::uint32_t count);
// The same from `position` while the base is `baseHigh` × 65536: two bytes
// less when the base reaches the position.
std::uint32_t CopyCost(std::uint32_t position, std::uint32_t count, std::uint32_t baseHigh);

}  // namespace builder
