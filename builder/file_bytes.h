// Whole files in memory, through the project's file stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace builder {

// False when the file cannot be opened or read, or does not hold exactly
// `size` bytes (it changed since it was listed). The stream's own size
// query stops at 2 GiB, so the size comes from the listing.
bool ReadFileBytes(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* bytes);

}  // namespace builder
