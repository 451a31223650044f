#include "tests/support/signed_package.h"

#include <gtest/gtest.h>

#include "signing/package_signature.h"

using namespace signing;

TestKey MakeTestKey() {
  TestKey key;
  EXPECT_TRUE(GenerateEd25519Key(&key.secret, &key.publicKey));
  return key;
}

void SignTestPackage(const TestKey& key, const std::string& package) {
  std::string problem;
  EXPECT_TRUE(SignPackageFile(key.secret, key.publicKey, package.c_str(), &problem)) << problem;
}
