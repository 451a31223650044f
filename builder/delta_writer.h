// Builds one entry's delta stream: operations that append literal bytes or
// stretches of the old file, ended by End. Every operation code can be
// written explicitly; Insert() and Copy() pick the shortest form.
#pragma once

#include <cstdint>
#include <vector>

#include "package/delta_ops.h"

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
  // A byte that the interpreter skips as an operation without operands.
  void NoOp(std::uint8_t code);
  void End();

  // The narrowest insert that holds `count`.
  void Insert(const std::uint8_t* bytes, std::uint32_t count);
  // The shortest copy of `count` bytes from `position`, relative to the
  // current base where that is shorter (setting a new base when it pays).
  void Copy(std::uint32_t position, std::uint32_t count);

  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  void Byte(std::uint8_t value);
  void Word(std::uint16_t value);
  void Dword(std::uint32_t value);
  void Literal(const std::uint8_t* bytes, std::uint32_t count);

  std::vector<std::uint8_t> bytes_;
  std::uint32_t base_ = 0;
};
