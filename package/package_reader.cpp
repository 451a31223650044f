#include "package/package_reader.h"

#include <cstring>
#include <new>

#include "platform/file_system.h"
#include "streams/kv_digest_stream.h"
#include "streams/kv_file_stream.h"
#include "streams/kv_zlib_in_stream.h"

namespace package {

PackageReader::PackageReader(const char* path, streams::ByteDigest* digest) {
  streams::TKVFStream* const opened = new streams::TKVFStream(platform::kOpenRead, path);
  file_ = opened;
  opened_ = opened->IsOpen() != 0;
  streams::TKVStream* file = opened;
  if (digest != nullptr) file = digestStream_ = new streams::TKVDigestStream(opened, digest);
  package.reset(file);
  if (streams::IsCompressedContainer(*file)) {
    package.reset(new streams::TKVZLibInStream(package.release(), 1));
    compressed_ = true;
  } else {
    file->Rewind();
  }
  std::uint8_t header[kPackageHeaderSize] = {};
  package->ReadBlock(header, kPackageHeaderSize);
  std::memcpy(magic, header, sizeof magic);
  version = header[8];
  entryCount = static_cast<std::int16_t>(header[9] | (header[10] << 8));
  title.reset(new (std::nothrow) char[kTitleCapacity]);
  description.reset(new (std::nothrow) char[kPackageDescriptionCapacity]);
  if (!title || !description) {
    package->SetError();
    return;
  }
  package->ReadString(title.get(), kTitleCapacity);
  package->ReadString(description.get(), kPackageDescriptionCapacity);
}

PackageReader::~PackageReader() = default;

bool PackageReader::DigestRestOfFile() {
  return digestStream_ != nullptr && digestStream_->DigestRest();
}

bool PackageReader::IsValid() const {
  return IsKnownMagic(magic) && version <= kNewestPackageVersion && package->Error() == 0;
}

PackageReader::Problem PackageReader::GetProblem() const {
  if (!opened_) return Problem::kCannotOpen;
  if (!IsKnownMagic(magic)) return Problem::kNotPackage;
  if (version > kNewestPackageVersion) return Problem::kVersionTooNew;
  if (package->Error() != 0) return Problem::kTruncated;
  return Problem::kNone;
}

PackageKind PackageReader::Kind() const { return KindOfMagic(magic); }

}  // namespace package
