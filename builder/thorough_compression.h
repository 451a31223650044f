// The "[KVZ]" container compressed as tightly as a standard deflate encoder
// can (`upgtool build --best`): slower to build, the same zlib data for
// every reader. Two implementations, picked by CMake: one over the
// system's zopfli library, and one for builds that lack it (the Windows
// build of upgtool), which compresses nothing.
#pragma once

#include <cstdint>
#include <vector>

namespace builder {

// Whether this build can compress thoroughly at all.
bool CanCompressThoroughly();

// "[KVZ]", its NUL and `plain` as one zlib stream; false when this build
// cannot compress thoroughly.
bool CompressPackageThoroughly(const std::vector<std::uint8_t>& plain,
                               std::vector<std::uint8_t>* container);

}  // namespace builder
