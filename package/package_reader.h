// An upgrade package opened for reading: the header, title and description
// of a plain package or of one wrapped in the "[KVZ]" container. Nothing is
// reported while reading; IsValid() and Problem() tell the outcome.
#pragma once

#include <cstdint>
#include <memory>

#include "package/package_format.h"
#include "streams/byte_digest.h"
#include "streams/kv_stream.h"

namespace streams {
class TKVDigestStream;
class TKVFStream;
}  // namespace streams

namespace package {

// Tells one package file from another: its size and the CRC-32 of its
// bytes as stored (compressed or not).
struct PackageIdentity {
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  bool operator==(const PackageIdentity& other) const {
    return size == other.size && crc == other.crc;
  }
};

// Capacities of the kept texts, terminator included.
constexpr std::uint32_t kTitleCapacity = 80;
constexpr std::uint32_t kPackageDescriptionCapacity = 8192;

class PackageReader {
 public:
  enum class Problem { kNone, kCannotOpen, kNotPackage, kVersionTooNew, kTruncated };

  // With `digest` (the caller's, outliving the reader), every byte of the
  // package file passes through it in file order as the reads fetch it,
  // beneath the container if there is one; DigestRestOfFile() completes it.
  explicit PackageReader(const char* path, streams::ByteDigest* digest = nullptr);
  virtual ~PackageReader();
  PackageReader(const PackageReader&) = delete;
  PackageReader& operator=(const PackageReader&) = delete;

  // Magic "[KVUPD]" or "[KVUPX]" with its NUL, version at most 18, and no
  // read error.
  bool IsValid() const;
  // The first reason IsValid() fails, in the order a user can act on it.
  Problem GetProblem() const;
  bool IsCompressed() const { return compressed_; }
  // By the magic; a file with neither magic reads as classic.
  PackageKind Kind() const;
  // Hands the bytes the reads have not fetched yet (what lies after the last
  // delta stream, or after the container's end) to the digest. True when the
  // digest has then seen the whole file once, in order; false without one.
  bool DigestRestOfFile();
  // Reads the whole package file once more, beneath any digest or
  // container stream, and puts its read position back, so those streams
  // find the file where they left it. False when a read or seek failed.
  bool Identify(PackageIdentity* identity);

  std::unique_ptr<streams::TKVStream> package;
  char magic[kMagicSize] = {};
  std::uint8_t version = 0;
  std::int16_t entryCount = 0;
  std::unique_ptr<char[]> title;
  std::unique_ptr<char[]> description;

 private:
  // The file under `package`, which owns it directly or through the
  // container's stream.
  streams::TKVFStream* file_ = nullptr;
  bool opened_ = false;
  bool compressed_ = false;
  // Inside `package` when a digest was given.
  streams::TKVDigestStream* digestStream_ = nullptr;
};

}  // namespace package
