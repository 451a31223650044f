#include "signing/signature_file.h"

#include <cstring>

#include "platform/file_system.h"
#include "streams/file_utilities.h"
#include "streams/kv_file_stream.h"

namespace signing {

namespace {

constexpr char kMagic[8] = "[KVSIG]";
constexpr std::uint8_t kFormatVersion = 1;
constexpr std::uint8_t kEd25519OverSha512 = 1;
constexpr std::size_t kKeyIdOffset = 10;
constexpr std::size_t kSignatureOffset = 18;

}  // namespace

std::string SignaturePathFor(const char* packagePath) { return std::string(packagePath) + ".sig"; }

std::vector<std::uint8_t> EncodeSignature(const PackageSignature& signature) {
  std::vector<std::uint8_t> bytes(kSignatureFileSize);
  std::memcpy(bytes.data(), kMagic, sizeof kMagic);
  bytes[8] = kFormatVersion;
  bytes[9] = kEd25519OverSha512;
  std::memcpy(bytes.data() + kKeyIdOffset, signature.keyId.data(), signature.keyId.size());
  std::memcpy(bytes.data() + kSignatureOffset, signature.signature.data(),
              signature.signature.size());
  return bytes;
}

bool DecodeSignature(const std::vector<std::uint8_t>& bytes, PackageSignature* signature) {
  if (bytes.size() != kSignatureFileSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
      bytes[8] != kFormatVersion || bytes[9] != kEd25519OverSha512) {
    return false;
  }
  std::memcpy(signature->keyId.data(), bytes.data() + kKeyIdOffset, signature->keyId.size());
  std::memcpy(signature->signature.data(), bytes.data() + kSignatureOffset,
              signature->signature.size());
  return true;
}

SignatureFileState ReadSignatureFile(const char* packagePath, PackageSignature* signature) {
  const std::string path = SignaturePathFor(packagePath);
  if (platform::Fs().GetAttributes(path.c_str()) == platform::kInvalidAttributes) {
    return SignatureFileState::kMissing;
  }
  streams::TKVFStream file(platform::kOpenRead | platform::kShareRead, path.c_str());
  // One byte more than a signature holds tells a longer file from one that
  // fits.
  std::vector<std::uint8_t> bytes(kSignatureFileSize + 1);
  const std::int32_t got = file.ReadBlock(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  if (!file.IsOpen() || !DecodeSignature(bytes, signature)) return SignatureFileState::kDamaged;
  return SignatureFileState::kPresent;
}

bool WriteSignatureFile(const char* packagePath, const PackageSignature& signature) {
  const std::string path = SignaturePathFor(packagePath);
  const std::vector<std::uint8_t> bytes = EncodeSignature(signature);
  bool written = false;
  {
    streams::TKVFStream file(platform::kOpenWrite, path.c_str());
    file.WriteBlock(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    written = file.IsOpen() && file.Error() == 0;
  }
  // A part of a signature would only be refused later; better none at all.
  if (!written) streams::RemoveFile(path.c_str());
  return written;
}

}  // namespace signing
