// The detached signature beside a package: PACKAGE.sig for PACKAGE, 82
// bytes, numbers little-endian:
//
//   offset  size  content
//        0     8  "[KVSIG]" and its NUL
//        8     1  format version: 1
//        9     1  method: 1, Ed25519 over the SHA-512 digest of every byte of
//                 the package file (container included)
//       10     8  the id of the signing key (key_files.h)
//       18    64  the Ed25519 signature whose message is the 64-byte digest
//
// The package itself is not changed by signing, so every package, signed or
// not, reads as it always did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "signing/crypto.h"
#include "signing/key_files.h"

namespace signing {

constexpr std::size_t kSignatureFileSize = 82;

struct PackageSignature {
  KeyId keyId{};
  Ed25519Signature signature{};
};

enum class SignatureFileState {
  kPresent,
  kMissing,
  // There but not readable, or not a signature of this format.
  kDamaged,
};

// `packagePath` with ".sig" appended.
std::string SignaturePathFor(const char* packagePath);

std::vector<std::uint8_t> EncodeSignature(const PackageSignature& signature);
// False for anything but exactly the layout above.
bool DecodeSignature(const std::vector<std::uint8_t>& bytes, PackageSignature* signature);

SignatureFileState ReadSignatureFile(const char* packagePath, PackageSignature* signature);
bool WriteSignatureFile(const char* packagePath, const PackageSignature& signature);

}  // namespace signing
