// The delta interpreter: rebuilds one entry's new file from its delta
// stream in the package, taking literal bytes from the package and
// stretches of the old file, or only carries the package past the stream.
#pragma once

#include <cstdint>

namespace streams {
class TKVStream;
}  // namespace streams

namespace package {
class UpgradeSession;
}  // namespace package

namespace apply {

// Reads one delta stream from the session's package, through its End or
// the end of the package data. The package's kind decides whether codes
// 11-13 are AddDiff operations. `oldFile` (read from) and `output` (written
// to) may each be null: without an output the stream is consumed and
// nothing is written. `newSize` is the entry's declared new size: the output
// never receives more than newSize + 1 bytes, so a stream that asks for more
// still leaves a file that fails its check. Every counted byte goes into
// bytesDone, and after every piece of at most 256 bytes the bar is updated
// and a cancel polled; only a stream that has run past newSize counts a copy
// that moves nothing more in one step. Returns 1 when it stopped because
// the run is aborted, 0 otherwise. Streams are not checked for errors: the
// caller checks the result against the entry's new stamp.
int ApplyDelta(package::UpgradeSession& session, streams::TKVStream* oldFile,
               streams::TKVStream* output, std::uint32_t newSize);

}  // namespace apply
