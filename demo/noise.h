// Contents for files of the demo and of test fixtures that look like real
// data to a compressor and a differ, and are the same on every build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace demo {

// `size` bytes that follow from `seed` alone.
std::vector<std::uint8_t> Noise(std::size_t size, std::uint32_t seed);

}  // namespace demo
