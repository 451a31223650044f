// File stamps: the DOS date and time, size and 16-bit checksum that packages
// store for the files they expect and the files they leave.
#pragma once

#include <cstdint>

#include "streams/file_stamp_record.h"

namespace package {

// Folds a block of a file into `checksum`. The byte with r bytes left in the
// block, itself included, goes to the low byte when r is odd and to the high
// byte when r is even; the checksum is defined over blocks of 512 bytes.
// Blocks of even length fold alike wherever they are cut, so a run of whole
// blocks may be folded in one call.
std::uint16_t FoldChecksumBlock(std::uint16_t checksum, const std::uint8_t* block,
                                std::int32_t count);

constexpr std::int32_t kChecksumBlockSize = 512;

// Fills `stamp` from the file. True when the file could be opened and its
// time read; size and checksum cover every byte that could be read. On
// false the stamp is all zero.
bool ComputeFileStamp(const char* path, streams::FileStamp& stamp);

// True when the file's size and checksum equal `expected`'s and its times
// could then be set from `expected`'s date and time.
bool VerifyAndStampFile(const char* path, const streams::FileStamp& expected);

}  // namespace package
