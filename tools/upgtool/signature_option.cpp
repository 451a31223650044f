#include "tools/upgtool/signature_option.h"

#include <cstdio>

#include "signing/key_files.h"
#include "signing/package_signature.h"

namespace upgtool {

bool PackageSignedBy(const std::string& keyFile, const char* package,
                     signing::Ed25519PublicKey* key) {
  std::string problem;
  if (!signing::ReadPublicKeyFile(keyFile.c_str(), key, &problem)) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return false;
  }
  const signing::SignatureReport report = signing::CheckPackageFile(*key, package);
  if (report.verdict == signing::SignatureVerdict::kValid) return true;
  std::fprintf(stderr, "upgtool: %s: %s\n", package,
               signing::SignatureProblemText(report, *key, package).c_str());
  return false;
}

SignatureSummary SummarizeSignature(const char* package) {
  signing::PackageSignature signature;
  switch (signing::ReadSignatureFile(package, &signature)) {
    case signing::SignatureFileState::kMissing:
      return {"none", ""};
    case signing::SignatureFileState::kDamaged:
      return {"damaged", ""};
    case signing::SignatureFileState::kPresent:
      break;
  }
  return {"present", signing::KeyIdText(signature.keyId)};
}

}  // namespace upgtool
