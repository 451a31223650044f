// Builds one entry's delta stream: operations that append literal bytes or
// stretches of the old file, ended by End. Every operation code can be
// written explicitly; Insert() and Copy() pick the shortest form.
#pragma once

#include <cstdint>
#include <vector>

#include "package/delta_ops.h"

namespace builder {

class DeltaWriter {
 public:
  void Insert8(const std::uint8_t* bytes, std::uint8_t count);
  void Insert16(const std::uint8_t* bytes, std::uint16_t count);
  void Insert32(const std::uint8_t* bytes, std::uint32_t count);
  void SetBase(std::uint16_t high);
  void CopyBase8(std::uint16_t offset, std::uint8_t count);
  void CopyBase16(std::uint16_t offset, std::uint16_t count);
  void CopyBase32(std::uint16_t offset, std::uint32_t count);
  void CopyAbs8(std::uint32_t position, std::uint8_t count);
  void CopyAbs16(std::uint32_t position, std::uint16_t count);
  void CopyAbs32(std::uint32_t position, std::uint32_t count);
  // Extended packages only: `count` bytes of the old file from `position`,
  // each plus its byte of `differences`.
  void AddDiff8(std::uint32_t position, const std::uint8_t* differences, std::uint8_t count);
  void AddDiff16(std::uint32_t position, const std::uint8_t* differences, std::uint16_t count);
  void AddDiff32(std::uint32_t position, const std::uint8_t* differences, std::uint32_t count);
  // A byte that the interpreter skips as an operation without operands.
  void NoOp(std::uint8_t code);
  void End();

  // The narrowest insert that holds `count`.
  void Insert(const std::uint8_t* bytes, std::uint32_t count);
  // The shortest copy of `count` bytes from `position`: relative to the
  // current base when the base reaches it, else absolute. It never sets a
  // base: whether one pays depends on the copies that follow.
  void Copy(std::uint32_t position, std::uint32_t count);
  // The narrowest CopyBase of `count` bytes from `position`, which must lie
  // within 65535 bytes above the base in force.
  void CopyRelative(std::uint32_t position, std::uint32_t count);
  // The narrowest CopyAbs.
  void CopyAbsolute(std::uint32_t position, std::uint32_t count);
  // The narrowest AddDiff.
  void AddDiff(std::uint32_t position, const std::uint8_t* differences, std::uint32_t count);
  // Whether a CopyBase can reach `position` from the base in force.
  bool BaseReaches(std::uint32_t position) const {
    return position >= base_ && position - base_ <= 0xFFFF;
  }

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  // Bytes that the inserts carry.
  std::uint64_t literalBytes() const { return literalBytes_; }
  // Difference bytes of the AddDiffs that are 0: a run of them costs the
  // container almost nothing, unlike every other byte of the stream.
  std::uint64_t zeroDifferences() const { return zeroDifferences_; }

 private:
  // Operands are stored little-endian, each as wide as its type.
  void Field(std::uint8_t value);
  void Field(std::uint16_t value);
  void Field(std::uint32_t value);
  // An operation code and its operands in order.
  template <typename... Operands>
  void Op(std::uint8_t code, Operands... operands) {
    Field(code);
    (Field(operands), ...);
  }
  // The 8-, 16- and 32-bit forms of an operation have consecutive codes
  // from `code8`: the narrowest form that holds `count`, after `leading`.
  template <typename... Leading>
  void Counted(std::uint8_t code8, std::uint32_t count, Leading... leading) {
    if (count <= 0xFF) {
      Op(code8, leading..., static_cast<std::uint8_t>(count));
    } else if (count <= 0xFFFF) {
      Op(static_cast<std::uint8_t>(code8 + 1), leading..., static_cast<std::uint16_t>(count));
    } else {
      Op(static_cast<std::uint8_t>(code8 + 2), leading..., count);
    }
  }
  void Literal(const std::uint8_t* bytes, std::uint32_t count);
  void Differences(const std::uint8_t* bytes, std::uint32_t count);

  std::vector<std::uint8_t> bytes_;
  std::uint32_t base_ = 0;
  std::uint64_t literalBytes_ = 0;
  std::uint64_t zeroDifferences_ = 0;
};

}  // namespace builder
