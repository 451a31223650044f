// Where a stream hands the bytes it reads when someone needs a digest of
// them. The stream layer knows nothing of the digest itself; the caller
// supplies it (the applicators give a SHA-512 to check a package's
// signature).
#pragma once

#include <cstddef>
#include <cstdint>

namespace streams {

class ByteDigest {
 public:
  virtual ~ByteDigest() = default;
  // The next `count` bytes, in order.
  virtual void Update(const std::uint8_t* bytes, std::size_t count) = 0;
};

}  // namespace streams
