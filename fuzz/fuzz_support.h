// What the fuzz targets share: reading fields off the front of an input,
// a check that stops the run with a message, and what a package declares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace package {
class UpgradeSession;
}  // namespace package

// Takes fields off the front of a fuzz input; past its end every field is 0.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // Little-endian, `bytes` of them.
  std::uint32_t Number(int bytes);
  std::vector<std::uint8_t> Take(std::size_t count);
  std::vector<std::uint8_t> Rest() { return Take(size_ - at_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Stops the process with `what` when the condition fails, so that libFuzzer
// keeps the input that broke a promise as it keeps one that crashed.
void Require(bool condition, const char* what);

// The new sizes of a usable table's entries, summed without wrapping; 0 for
// a table that cannot be used. The work of a run follows this sum.
std::uint64_t DeclaredBytes(const package::UpgradeSession& session);
