// Signing a package and checking a package against a trusted key. The
// package is read once, in blocks, and never held in memory.
#pragma once

#include <string>

#include "signing/crypto.h"
#include "signing/key_files.h"
#include "signing/signature_file.h"

namespace signing {

enum class SignatureVerdict {
  kValid,
  kNoSignature,       // PACKAGE.sig is missing
  kDamagedSignature,  // PACKAGE.sig cannot be read or is not a signature
  kOtherKey,          // signed, but by another key than the trusted one
  kAltered,           // the trusted key's signature does not fit the bytes
  kUnreadablePackage,
};

struct SignatureReport {
  SignatureVerdict verdict = SignatureVerdict::kNoSignature;
  // The key that made the signature, when the signature file could be read.
  KeyId signer{};
};

// The SHA-512 of every byte of the file, read as the applicator opens a
// package (for its own use alone). False when it cannot be read.
bool DigestPackageFile(const char* packagePath, Sha512Value* digest);

// Whether the signature beside `packagePath` is `trusted`'s signature of
// `digest`, the digest of the package's bytes as the caller read them.
SignatureReport CheckPackageDigest(const Ed25519PublicKey& trusted, const char* packagePath,
                                   const Sha512Value& digest);
// The same for the package file as it is now.
SignatureReport CheckPackageFile(const Ed25519PublicKey& trusted, const char* packagePath);

// Why a package fails its check, as a sentence for the user; empty for a
// valid one.
std::string SignatureProblemText(const SignatureReport& report, const Ed25519PublicKey& trusted,
                                 const char* packagePath);

// Writes PACKAGE.sig. The signature is checked against the key pair's
// public half before it is written, so a secret key file whose halves do
// not belong together signs nothing.
bool SignPackageFile(const Ed25519SecretKey& secret, const Ed25519PublicKey& publicKey,
                     const char* packagePath, std::string* problem);

}  // namespace signing
