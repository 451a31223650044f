// The operation codes of a delta stream, the data that rebuilds one new
// file: read by the apply engine's interpreter, written by the builder.
//
// Codes 0-10 mean the same in both kinds of package. Codes 11-13 have a
// meaning only in an extended package ("[KVUPX]"); in a classic one
// ("[KVUPD]") they are one-byte operations that do nothing, like every code
// from 14 to 255 in both kinds.
//
// AddDiff8/16/32, extended packages only:
//   code, position u32, count (u8, u16 or u32), then `count` difference bytes.
//   Each output byte is the old file's byte at its read position plus the
//   next difference byte, modulo 256; the old file's read position advances
//   as a copy's does. The position is absolute and seeks the old file before
//   the count is looked at, as a CopyAbs does; 0xFFFFFFFF makes no seek.
//   Without an old file the difference bytes are read and dropped and
//   nothing is written (as a copy writes nothing there); without an output
//   both the difference bytes and the old file's bytes are read and
//   dropped. Either way the count goes into the progress, in pieces of at
//   most 256 bytes.
#pragma once

#include <cstdint>

namespace package {

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
  kOpAddDiff8 = 11,
  kOpAddDiff16 = 12,
  kOpAddDiff32 = 13,
};

}  // namespace package
