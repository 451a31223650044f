// Encodes a new file as a delta stream against the old one: copies of the
// stretches that the old file holds, inserts of the rest, End.
#pragma once

#include <cstdint>
#include <vector>

struct EncodedDelta {
  // The stream, End included.
  std::vector<std::uint8_t> bytes;
  // How many bytes of the new file it carries as literal bytes.
  std::uint64_t literalBytes;
};

// With an empty old file the stream is the new file as inserts alone.
EncodedDelta EncodeDelta(const std::uint8_t* oldBytes, std::uint32_t oldSize,
                         const std::uint8_t* newBytes, std::uint32_t newSize);
// The new file as inserts alone: what Add and Replace carry.
EncodedDelta EncodeInserts(const std::uint8_t* newBytes, std::uint32_t newSize);
