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

  // A digest that keeps bytes for later anyway may lend a reader the memory
  // to read them into, sparing the copy Update makes: Lend answers room for
  // up to `*size` bytes, or null when it has none to lend (then use
  // Update); Filled then takes the first `count` of them, as Update would.
  // What was lent stays readable, unchanged, until the next Lend.
  virtual std::uint8_t* Lend(std::size_t* size) {
    *size = 0;
    return nullptr;
  }
  virtual void Filled(std::size_t /*count*/) {}
};

}  // namespace streams
