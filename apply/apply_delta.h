// The delta interpreter: rebuilds one entry's new file from its delta
// stream in the package, taking literal bytes from the package and
// stretches of the old file, or only carries the package past the stream.
#pragma once

class TKVStream;
class UpgradeSession;

// Reads one delta stream from the session's package, through its End. The
// package's kind decides whether codes 11-13 are AddDiff operations.
// `oldFile` (read from) and `output` (written to) may each be null: without
// an output the stream is consumed and nothing is written. Every counted
// byte goes into bytesDone, and after every piece of at most 256 bytes the
// bar is updated and a cancel polled. Returns 1 when it stopped because the
// run is aborted, 0 when it read End. Streams are not checked for errors:
// the caller checks the result against the entry's new stamp.
int ApplyDelta(UpgradeSession& session, TKVStream* oldFile, TKVStream* output);
