#include "signing/package_signature.h"

#include "platform/file_system.h"
#include "streams/kv_digest_stream.h"
#include "streams/kv_file_stream.h"

namespace signing {

namespace {

// Hashed in line: with nothing else to do meanwhile, handing the blocks to
// another thread only adds its wake-ups and moves the bytes between caches.
bool FileDigest(const char* path, unsigned flags, Sha512Value* digest) {
  Sha512 hash;
  streams::TKVDigestStream file(new streams::TKVFStream(flags, path), &hash);
  return file.DigestRest() && hash.Finish(digest);
}

// The signature beside the package, and whether the trusted key made it:
// kValid here only means that it is left to compare it with the digest.
SignatureReport ReadTrustedSignature(const Ed25519PublicKey& trusted, const char* packagePath,
                                     PackageSignature* signature) {
  SignatureReport report;
  switch (ReadSignatureFile(packagePath, signature)) {
    case SignatureFileState::kMissing:
      report.verdict = SignatureVerdict::kNoSignature;
      return report;
    case SignatureFileState::kDamaged:
      report.verdict = SignatureVerdict::kDamagedSignature;
      return report;
    case SignatureFileState::kPresent:
      break;
  }
  report.signer = signature->keyId;
  report.verdict =
      signature->keyId == KeyIdOf(trusted) ? SignatureVerdict::kValid : SignatureVerdict::kOtherKey;
  return report;
}

void CompareWithDigest(const Ed25519PublicKey& trusted, const PackageSignature& signature,
                       const Sha512Value& digest, SignatureReport* report) {
  if (report->verdict == SignatureVerdict::kValid &&
      !VerifyEd25519(trusted, digest.data(), digest.size(), signature.signature)) {
    report->verdict = SignatureVerdict::kAltered;
  }
}

}  // namespace

bool DigestPackageFile(const char* packagePath, Sha512Value* digest) {
  return FileDigest(packagePath, platform::kOpenRead, digest);
}

SignatureReport CheckPackageDigest(const Ed25519PublicKey& trusted, const char* packagePath,
                                   const Sha512Value& digest) {
  PackageSignature signature;
  SignatureReport report = ReadTrustedSignature(trusted, packagePath, &signature);
  CompareWithDigest(trusted, signature, digest, &report);
  return report;
}

SignatureReport CheckPackageFile(const Ed25519PublicKey& trusted, const char* packagePath) {
  PackageSignature signature;
  SignatureReport report = ReadTrustedSignature(trusted, packagePath, &signature);
  // Without a signature by the trusted key there is no point in reading the
  // package.
  if (report.verdict != SignatureVerdict::kValid) return report;
  Sha512Value digest{};
  if (!DigestPackageFile(packagePath, &digest)) {
    report.verdict = SignatureVerdict::kUnreadablePackage;
    return report;
  }
  CompareWithDigest(trusted, signature, digest, &report);
  return report;
}

std::string SignatureProblemText(const SignatureReport& report, const Ed25519PublicKey& trusted,
                                 const char* packagePath) {
  const std::string signaturePath = SignaturePathFor(packagePath);
  switch (report.verdict) {
    case SignatureVerdict::kValid:
      return "";
    case SignatureVerdict::kNoSignature:
      return "The package is not signed: " + signaturePath + " is missing.";
    case SignatureVerdict::kDamagedSignature:
      return "The package's signature file " + signaturePath + " cannot be read or is damaged.";
    case SignatureVerdict::kOtherKey:
      return "The package is signed by another key (" + KeyIdText(report.signer) +
             ") than the one trusted here (" + KeyIdText(KeyIdOf(trusted)) + ").";
    case SignatureVerdict::kAltered:
      return "The package has been altered since it was signed.";
    case SignatureVerdict::kUnreadablePackage:
      return "The package cannot be read.";
  }
  return "";
}

bool SignPackageFile(const Ed25519SecretKey& secret, const Ed25519PublicKey& publicKey,
                     const char* packagePath, std::string* problem) {
  Sha512Value digest{};
  // Others may read the package while it is signed; it is only read here.
  if (!FileDigest(packagePath, platform::kOpenRead | platform::kShareRead, &digest)) {
    *problem = std::string("cannot read ") + packagePath;
    return false;
  }
  PackageSignature signature;
  signature.keyId = KeyIdOf(publicKey);
  if (!SignEd25519(secret, digest.data(), digest.size(), &signature.signature) ||
      !VerifyEd25519(publicKey, digest.data(), digest.size(), signature.signature)) {
    *problem = "the secret key file's two halves do not belong together";
    return false;
  }
  if (!WriteSignatureFile(packagePath, signature)) {
    *problem = "cannot write " + SignaturePathFor(packagePath);
    return false;
  }
  return true;
}

}  // namespace signing
