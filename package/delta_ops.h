// The operation codes of a delta stream, the data that rebuilds one new
// file: read by the apply engine's interpreter, written by the builder.
// Codes 11 to 255 are one-byte operations that do nothing.
#pragma once

#include <cstdint>

enum DeltaOp : std::uint8_t {
  kOpEnd = 0,
  kOpInsert8 = 1,
  kOpInsert16 = 2,
  kOpInsert32 = 3,
  kOpSetBase = 4,
  kOpCopyBase8 = 5,
  kOpCopyBase16 = 6,
  kOpCopyBase32 = 7,
  kOpCopyAbs8 = 8,
  kOpCopyAbs16 = 9,
  kOpCopyAbs32 = 10,
};
