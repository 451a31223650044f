// Finds the stretches of a new file where it mostly agrees with a stretch
// of the old file: code that moved, whose bytes are the same but for the
// addresses inside it. The extended encoder writes each as an AddDiff (the
// old bytes plus small differences, most of them 0), and inserts the rest.
//
// The search walks the new file and asks the old file's suffix array for
// the longest exact match at each position. A match that the stretch being
// followed (the last match's offset) does not already explain by more than
// a few bytes starts a new stretch. The previous stretch is then grown
// forwards from its start, and the new one backwards from its match, each
// to the length at which the bytes that agree most outnumber those that do
// not; where the two overlap, each byte goes to the stretch under which it
// agrees more often.
//
// Memory: the two files and the suffix array (the caller's). Time: a
// binary search of the suffix array per position of the new file that no
// stretch covers, and a linear walk otherwise.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/match_finder.h"

namespace builder {

// The stretches, in increasing and non-overlapping new positions; `count`
// bytes of the new file from `newPosition` are to be taken from the old
// file's bytes at `oldPosition` plus differences. The bytes between
// stretches are to be inserted. `order` is the old file's suffix array.
std::vector<CopyMatch> FindApproximateMatches(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                                              const std::int32_t* order,
                                              const std::uint8_t* newBytes, std::uint32_t newSize);

}  // namespace builder
