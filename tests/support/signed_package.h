// Publisher keys and signatures for the tests of signed packages.
#pragma once

#include <string>

#include "signing/crypto.h"

using namespace signing;

struct TestKey {
  Ed25519SecretKey secret{};
  Ed25519PublicKey publicKey{};
};

// A fresh key pair from the library's random source.
TestKey MakeTestKey();
// Writes PACKAGE.sig, `key`'s signature of the package as it is now.
void SignTestPackage(const TestKey& key, const std::string& package);
