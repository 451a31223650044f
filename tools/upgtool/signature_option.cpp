#include "tools/upgtool/signature_option.h"

#include <cstdio>

#include "signing/key_files.h"
#include "signing/package_signature.h"

bool PackageSignedBy(const std::string& keyFile, const char* package, Ed25519PublicKey* key) {
  std::string problem;
  if (!ReadPublicKeyFile(keyFile.c_str(), key, &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return false;
  }
  const SignatureReport report = CheckPackageFile(*key, package);
  if (report.verdict == SignatureVerdict::kValid) return true;
  std::fprintf(stderr, "upgtool: %s: %s\n", package,
               SignatureProblemText(report, *key, package).c_str());
  return false;
}

SignatureSummary SummarizeSignature(const char* package) {
  PackageSignature signature;
  switch (ReadSignatureFile(package, &signature)) {
    case SignatureFileState::kMissing:
      return {"none", ""};
    case SignatureFileState::kDamaged:
      return {"damaged", ""};
    case SignatureFileState::kPresent:
      break;
  }
  return {"present", KeyIdText(signature.keyId)};
}
