// The suffix array of a file: its positions ordered by the bytes that
// start there. The extended encoder searches it for the longest match of
// every stretch of the new file.
//
// Two implementations, picked by CMake: one over the system's suffix
// sorting library, and one for builds that lack it (the Windows build of
// upgtool), which sorts nothing.
#pragma once

#include <cstdint>
#include <memory>

namespace builder {

// Whether this build can sort suffixes at all.
bool CanSortSuffixes();

// The suffix array of `size` bytes: `size` positions, four bytes each.
// Null when this build cannot sort suffixes, the file holds 2 GiB or more
// (the positions are signed 32-bit), or the memory cannot be had.
std::unique_ptr<std::int32_t[]> SortSuffixes(const std::uint8_t* bytes, std::uint32_t size);

}  // namespace builder
