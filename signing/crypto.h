// The project's calls into its cryptography library, libgcrypt: SHA-512 and
// Ed25519 as RFC 8032 defines it (pure Ed25519, no context). No other file
// includes the library's header; every function here sets the library up on
// first use, and reports failure by its result.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "streams/byte_digest.h"

namespace signing {

using Sha512Value = std::array<std::uint8_t, 64>;
using Ed25519PublicKey = std::array<std::uint8_t, 32>;
// The 32-byte seed from which RFC 8032 derives the signing scalar.
using Ed25519SecretKey = std::array<std::uint8_t, 32>;
using Ed25519Signature = std::array<std::uint8_t, 64>;

// A SHA-512 fed in pieces, so that a file is hashed in one streaming pass.
class Sha512 final : public streams::ByteDigest {
 public:
  Sha512();
  ~Sha512() override;
  Sha512(const Sha512&) = delete;
  Sha512& operator=(const Sha512&) = delete;

  void Update(const std::uint8_t* bytes, std::size_t count) override;
  // The digest of everything given so far. False when the library could
  // not be set up.
  bool Finish(Sha512Value* value);

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

// A new key pair from the library's strong random source.
bool GenerateEd25519Key(Ed25519SecretKey* secret, Ed25519PublicKey* publicKey);
// The signature of `message` (any length).
bool SignEd25519(const Ed25519SecretKey& secret, const std::uint8_t* message, std::size_t size,
                 Ed25519Signature* signature);
// True only when `signature` is `publicKey`'s valid signature of `message`.
bool VerifyEd25519(const Ed25519PublicKey& publicKey, const std::uint8_t* message, std::size_t size,
                   const Ed25519Signature& signature);

}  // namespace signing
