#include "builder/thorough_compression.h"

namespace builder {

bool CanCompressThoroughly() { return false; }

bool CompressPackageThoroughly(const std::vector<std::uint8_t>&, std::vector<std::uint8_t>*) {
  return false;
}

}  // namespace builder
