// Encodes a new file as a delta stream against the old one: copies of the
// stretches that the old file holds, inserts of the rest, End; for an
// extended package also AddDiffs of the stretches that the old file holds
// with small differences.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/match_finder.h"

namespace builder {

struct EncodedDelta {
  // The stream, End included.
  std::vector<std::uint8_t> bytes;
  // How many bytes of the new file it carries as literal bytes.
  std::uint64_t literalBytes;
  // Difference bytes of its AddDiffs that are 0: nearly free once
  // compressed, so they do not count when streams are compared.
  std::uint64_t zeroDifferences = 0;
};

// With an empty old file the stream is the new file as inserts alone.
EncodedDelta EncodeDelta(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                         const std::uint8_t* newBytes, std::uint32_t newSize,
                         const MatchSettings& settings = MatchSettings());
// A stream for an extended package (builder/approximate_matches.h): each
// approximate match an AddDiff, or a copy where it has no difference or
// holds a long exact run, and inserts between them. Where this build cannot
// sort suffixes, or the old file is too large for it, the stream is that
// of EncodeDelta.
EncodedDelta EncodeExtendedDelta(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                                 const std::uint8_t* newBytes, std::uint32_t newSize,
                                 const MatchSettings& settings = MatchSettings());
// The new file as inserts alone: what Add and Replace carry.
EncodedDelta EncodeInserts(const std::uint8_t* newBytes, std::uint32_t newSize);

}  // namespace builder
