// A publisher's key files. Both are short texts, so that a public key can be
// mailed, pasted into a web page or compiled into a program:
//
//   KEYFILE.pub   "KVUPG ED25519 PUBLIC KEY", then the 32-byte public key
//   KEYFILE       "KVUPG ED25519 SECRET KEY", then the 32-byte seed and the
//                 public key
//
// each value on a line of its own as 64 hexadecimal digits (written in lower
// case, read in either), every line ended by LF (CR LF is read too). Nothing
// else may follow.
//
// A key is named by its id: the first 8 bytes of the SHA-512 of the public
// key, shown as 16 hexadecimal digits.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "signing/crypto.h"

namespace signing {

using KeyId = std::array<std::uint8_t, 8>;

KeyId KeyIdOf(const Ed25519PublicKey& publicKey);
std::string KeyIdText(const KeyId& id);

std::string PublicKeyText(const Ed25519PublicKey& publicKey);
std::string SecretKeyText(const Ed25519SecretKey& secret, const Ed25519PublicKey& publicKey);
// False for anything but exactly the layout above.
bool ParsePublicKey(const std::string& text, Ed25519PublicKey* publicKey);
bool ParseSecretKey(const std::string& text, Ed25519SecretKey* secret, Ed25519PublicKey* publicKey);

// Each false with `problem` saying why, in words for a message.
bool ReadPublicKeyFile(const char* path, Ed25519PublicKey* publicKey, std::string* problem);
bool ReadSecretKeyFile(const char* path, Ed25519SecretKey* secret, Ed25519PublicKey* publicKey,
                       std::string* problem);
// Writes `path`, which must not exist yet, readable by its owner alone, and
// `path`.pub. Nothing is left behind when either cannot be written.
bool WriteKeyFiles(const char* path, const Ed25519SecretKey& secret,
                   const Ed25519PublicKey& publicKey, std::string* problem);

}  // namespace signing
